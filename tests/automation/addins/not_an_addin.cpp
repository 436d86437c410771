// A shared library that is no add-in: the loader stops at it.
extern "C" int not_an_addin() { return 1; }

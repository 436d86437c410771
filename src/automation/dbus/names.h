// The automation server's names on the session bus. The ProgID "Loopwright3.GIFApplication"
// maps to the well-known name; each interface of the type library is an interface of the
// same name under the service's prefix.
#pragma once

namespace automation::bus {

inline constexpr const char* ServiceName = "com.quillmark.Loopwright3";
inline constexpr const char* ErrorName = "com.quillmark.Loopwright3.Error";
inline constexpr const char* ApplicationInterface = "com.quillmark.Loopwright3.IGIFLoopwrightApplication";
inline constexpr const char* DocumentsInterface = "com.quillmark.Loopwright3.IDocuments";
inline constexpr const char* DocumentCacheInterface = "com.quillmark.Loopwright3.IDocumentCache";
inline constexpr const char* ActiveDocumentInterface = "com.quillmark.Loopwright3.IActiveDocument";
inline constexpr const char* FramesInterface = "com.quillmark.Loopwright3.IFrames";
inline constexpr const char* FrameInterface = "com.quillmark.Loopwright3.IFrame";
inline constexpr const char* EnumeratorInterface = "com.quillmark.Loopwright3.IEnumVARIANT";

inline constexpr const char* ApplicationPath = "/Application";
inline constexpr const char* DocumentsPath = "/Documents";
inline constexpr const char* ActiveDocumentPath = "/ActiveDocument";
inline constexpr const char* FramesPath = "/ActiveDocument/Frames";
inline constexpr const char* EnumeratorsPath = "/Enumerators";
// "No object".
inline constexpr const char* NoObjectPath = "/";

} // namespace automation::bus

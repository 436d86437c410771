// Offering the unsaved changes of editors that ended without closing their documents.
#pragma once

namespace editor {

class TWorkspace;

// Asks "Recover unsaved changes of %s?" for each backing file whose editor no longer runs
// (in the workspace's backing folders): Yes opens it as a modified document, No deletes it.
// Returns the number of documents recovered.
int OfferRecovery(TWorkspace& workspace);

} // namespace editor

#include "editor/document/recovery.h"

#include "editor/core/format.h"
#include "editor/core/prompter.h"
#include "editor/document/document_messages.h"
#include "editor/document/recovery_index.h"
#include "editor/document/workspace.h"

#include <QFile>
#include <QFileInfo>

namespace editor {

int OfferRecovery(TWorkspace& workspace) {
    int recovered = 0;
    for (const TRecoveryEntry& entry : FindOrphanedBackingFiles(workspace.BackingFolders())) {
        // A backing file made before the first write holds nothing.
        if (QFileInfo(entry.Backing).size() == 0) {
            QFile::remove(entry.Backing);
            QFile::remove(entry.Index);
            continue;
        }
        const QString caption = entry.Caption.isEmpty() ? entry.FileName : entry.Caption;
        const int answer = workspace.Prompter().Message(
            TMessageKind::Confirmation, Format(msg::RecoverChanges, caption), TButtons::YesNo);
        if (answer == mrYes) {
            // A file that cannot be read stays where it is, to be offered again.
            // (the recovered document has rewritten the index for this process).
            if (workspace.RecoverDocument(entry.Backing, entry.FileName, entry.Untitled))
                ++recovered;
        } else {
            QFile::remove(entry.Backing);
            QFile::remove(entry.Index);
        }
    }
    return recovered;
}

} // namespace editor

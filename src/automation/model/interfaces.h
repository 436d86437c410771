// The automation object model as C++ interfaces: what scripts reach over the session bus
// and what add-ins get in-process. Member names, argument order and dispids are those of
// the type library "Loopwright3"; each dispid stands as a constant beside its member.
// Objects are shared pointers; "no object" is a null pointer. Pictures are complete
// Windows bitmap files (TPicture); an empty one is the empty VARIANT.
#pragma once

#include "automation/model/result.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace automation {

// A complete Windows bitmap file ("BM" first); empty for no picture.
using TPicture = std::vector<uint8_t>;

enum TCurrentViewType : int { cvEditFrame = 0, cvPreview = 1 };
enum TThumbsFilterType : int { iftAll = 0, iftGif = 1, iftJpg = 2, iftBmp = 3 };
enum TIDisposalMethod : int { idmNone = 0, idmRemove = 1, idmBackground = 2, idmPrevious = 3 };

// Dispids shared by every collection.
inline constexpr int DISPID_VALUE = 0;
inline constexpr int DISPID_NEWENUM = -4;

// The library's identity: the ProgID is the library name, a dot and the class name.
inline constexpr const char* LibraryName = "Loopwright3";
inline constexpr const char* LibraryHelpString = "Quillmark GIF Loopwright Library";
inline constexpr const char* ProgID = "Loopwright3.GIFApplication";
// Fixed once chosen: clients and add-ins are built against them.
inline constexpr const char* LIBID_Loopwright3 = "{6D1E3B52-7C0A-4E52-9A33-2F7A11C0D301}";
inline constexpr const char* CLASS_GIFApplication = "{6D1E3B52-7C0A-4E52-9A33-2F7A11C0D302}";
inline constexpr const char* IID_IGIFLoopwrightApplication = "{6D1E3B52-7C0A-4E52-9A33-2F7A11C0D303}";
inline constexpr const char* IID_IActiveDocument = "{6D1E3B52-7C0A-4E52-9A33-2F7A11C0D304}";
inline constexpr const char* IID_IDocumentCache = "{6D1E3B52-7C0A-4E52-9A33-2F7A11C0D305}";
inline constexpr const char* IID_IFrame = "{6D1E3B52-7C0A-4E52-9A33-2F7A11C0D306}";
inline constexpr const char* IID_IDocuments = "{6D1E3B52-7C0A-4E52-9A33-2F7A11C0D307}";
inline constexpr const char* IID_IFrames = "{6D1E3B52-7C0A-4E52-9A33-2F7A11C0D308}";

// Every object of the model; what an enumerator hands out.
class IAutomationObject {
  public:
    virtual ~IAutomationObject() = default;
    // The interface's name in the type library ("IFrame").
    virtual const char* InterfaceName() const = 0;
};
using TObjectRef = std::shared_ptr<IAutomationObject>;

// What a collection gives its enumerator.
class IVariantCollection {
  public:
    virtual ~IVariantCollection() = default;
    virtual IAutomationObject* ControllingObject() = 0;
    virtual TResult<int> ItemCount() = 0;
    // The item at `index` (no object outside the collection).
    virtual TResult<TObjectRef> Item(int index) = 0;
};

class IEnumVariant;
using TEnumRef = std::shared_ptr<IEnumVariant>;

// The standard variant enumerator.
class IEnumVariant {
  public:
    virtual ~IEnumVariant() = default;
    // Up to `count` items from the position; Status False when fewer were fetched.
    virtual TResult<std::vector<TObjectRef>> Next(int count) = 0;
    // Status False (position at the end) when fewer than `count` items were left.
    virtual TResult<TNone> Skip(int count) = 0;
    virtual TResult<TNone> Reset() = 0;
    virtual TResult<TEnumRef> Clone() = 0;
    virtual int Position() const = 0;
};

class IFrame : public IAutomationObject {
  public:
    const char* InterfaceName() const override { return "IFrame"; }
    static constexpr int dispidBitmap = 1;
    virtual TResult<TPicture> Bitmap() = 0;
    static constexpr int dispidComments = 2;
    virtual TResult<QString> Comments() = 0;
    static constexpr int dispidEmpty = 3;
    virtual TResult<bool> Empty() = 0;
    static constexpr int dispidExtensions = 6;
    virtual TResult<int> Extensions() = 0;
    static constexpr int dispidLeft = 9;
    virtual TResult<int> Left() = 0;
    virtual TResult<TNone> SetLeft(int value) = 0;
    static constexpr int dispidTop = 10;
    virtual TResult<int> Top() = 0;
    virtual TResult<TNone> SetTop(int value) = 0;
    static constexpr int dispidInterlaced = 11;
    virtual TResult<bool> Interlaced() = 0;
    virtual TResult<TNone> SetInterlaced(bool value) = 0;
    static constexpr int dispidLocalPalette = 12;
    virtual TResult<bool> LocalPalette() = 0;
    static constexpr int dispidHeight = 4;
    virtual TResult<int> Height() = 0;
    virtual TResult<TNone> SetHeight(int value) = 0;
    static constexpr int dispidWidth = 5;
    virtual TResult<int> Width() = 0;
    virtual TResult<TNone> SetWidth(int value) = 0;
    static constexpr int dispidTransparent = 7;
    virtual TResult<bool> Transparent() = 0;
    virtual TResult<TNone> SetTransparent(bool value) = 0;
    static constexpr int dispidDelay = 8;
    virtual TResult<int> Delay() = 0;
    virtual TResult<TNone> SetDelay(int value) = 0;
    static constexpr int dispidDisposal = 13;
    virtual TResult<int> Disposal() = 0;
    virtual TResult<TNone> SetDisposal(int value) = 0;
    static constexpr int dispidSetBitmap = 14;
    virtual TResult<bool> SetBitmap(const TPicture& bitmap) = 0;
};

class IFrames : public IAutomationObject {
  public:
    const char* InterfaceName() const override { return "IFrames"; }
    static constexpr int dispidCount = 1;
    virtual TResult<int> Count() = 0;
    static constexpr int dispidFrame = DISPID_VALUE;
    virtual TResult<std::shared_ptr<IFrame>> Frame(int index) = 0;
    static constexpr int dispid_NewEnum = DISPID_NEWENUM;
    virtual TResult<TEnumRef> _NewEnum() = 0;
};

class IActiveDocument : public IAutomationObject {
  public:
    const char* InterfaceName() const override { return "IActiveDocument"; }
    static constexpr int dispidCanUndo = 1;
    virtual TResult<bool> CanUndo() = 0;
    static constexpr int dispidCanRedo = 2;
    virtual TResult<bool> CanRedo() = 0;
    static constexpr int dispidUndo = 3;
    virtual TResult<TNone> Undo() = 0;
    static constexpr int dispidRedo = 4;
    virtual TResult<TNone> Redo() = 0;
    static constexpr int dispidFileName = 5;
    virtual TResult<QString> FileName() = 0;
    static constexpr int dispidModified = 6;
    virtual TResult<bool> Modified() = 0;
    virtual TResult<TNone> SetModified(bool value) = 0;
    static constexpr int dispidReadOnly = 7;
    virtual TResult<bool> ReadOnly() = 0;
    virtual TResult<TNone> SetReadOnly(bool value) = 0;
    static constexpr int dispidCurrentBitmap = 9;
    virtual TResult<TPicture> CurrentBitmap() = 0;
    static constexpr int dispidTabIndex = 10;
    virtual TResult<int> TabIndex() = 0;
    static constexpr int dispidSelectedFrame = 11;
    virtual TResult<int> SelectedFrame() = 0;
    virtual TResult<TNone> SetSelectedFrame(int index) = 0;
    static constexpr int dispidOptimized = 12;
    virtual TResult<bool> Optimized() = 0;
    static constexpr int dispidClear = 13;
    virtual TResult<TNone> Clear() = 0;
    static constexpr int dispidClose = 14;
    virtual TResult<bool> Close(bool wbPromptToSave) = 0;
    static constexpr int dispidPrint = 15;
    virtual TResult<TNone> Print(bool wbNoPrompt, bool wbPrintAllFrames) = 0;
    static constexpr int dispidReload = 16;
    virtual TResult<TNone> Reload(bool wbPromptToSave) = 0;
    static constexpr int dispidSave = 17;
    virtual TResult<bool> Save() = 0;
    static constexpr int dispidPlayAnimation = 18;
    virtual TResult<TNone> PlayAnimation() = 0;
    static constexpr int dispidStopAnimation = 19;
    virtual TResult<TNone> StopAnimation() = 0;
    static constexpr int dispidAddFrame = 20;
    virtual TResult<int> AddFrame(const TPicture& Image, int Delay) = 0;
    static constexpr int dispidInsertFrame = 21;
    virtual TResult<TNone> InsertFrame(int nIndex, const TPicture& Image) = 0;
    static constexpr int dispidDeleteFrame = 22;
    virtual TResult<TNone> DeleteFrame(int nIndex) = 0;
    static constexpr int dispidExportToAVI = 23;
    virtual TResult<bool> ExportToAVI() = 0;
    static constexpr int dispidImportFromAVI = 24;
    virtual TResult<bool> ImportFromAVI(const QString& wsFile) = 0;
    static constexpr int dispidHTMLCode = 25;
    virtual TResult<QString> HTMLCode(const QString& wsURL, const QString& wsHint, int nBorder) = 0;
    static constexpr int dispidFrames = 26;
    virtual TResult<std::shared_ptr<IFrames>> Frames() = 0;
    static constexpr int dispidNSLoop = 27;
    virtual TResult<int> NSLoop() = 0;
    virtual TResult<TNone> SetNSLoop(int value) = 0;
    static constexpr int dispidOptimize = 28;
    virtual TResult<TNone> Optimize() = 0;
    static constexpr int dispidAddFrameNoPrompts = 29;
    virtual TResult<bool> AddFrameNoPrompts(const TPicture& Image, int nDelay) = 0;
    static constexpr int dispidSaveDocToTempFile = 30;
    virtual TResult<bool> SaveDocToTempFile(const QString& wsFileName) = 0;
};

class IDocumentCache : public IAutomationObject {
  public:
    const char* InterfaceName() const override { return "IDocumentCache"; }
    static constexpr int dispidCanUndo = 1;
    virtual TResult<bool> CanUndo() = 0;
    static constexpr int dispidCanRedo = 2;
    virtual TResult<bool> CanRedo() = 0;
    static constexpr int dispidModified = 3;
    virtual TResult<bool> Modified() = 0;
    static constexpr int dispidFileName = 4;
    virtual TResult<QString> FileName() = 0;
    static constexpr int dispidReadOnly = 5;
    virtual TResult<bool> ReadOnly() = 0;
    static constexpr int dispidMakeActive = 6;
    virtual TResult<TNone> MakeActive() = 0;
};

class IDocuments : public IAutomationObject {
  public:
    const char* InterfaceName() const override { return "IDocuments"; }
    static constexpr int dispidCount = 1;
    virtual TResult<int> Count() = 0;
    static constexpr int dispidCache = DISPID_VALUE;
    virtual TResult<std::shared_ptr<IDocumentCache>> Cache(int Index) = 0;
    static constexpr int dispid_NewEnum = DISPID_NEWENUM;
    virtual TResult<TEnumRef> _NewEnum() = 0;
};

// The Application object, IGIFLoopwrightApplication. Members without effect return success.
class IGIFLoopwrightApplication : public IAutomationObject {
  public:
    const char* InterfaceName() const override { return "IGIFLoopwrightApplication"; }
    static constexpr int dispidActiveDocument = 1;
    virtual TResult<std::shared_ptr<IActiveDocument>> ActiveDocument() = 0;
    static constexpr int dispidAppPath = 2;
    virtual TResult<QString> AppPath() = 0;
    static constexpr int dispidCurrentFolder = 3;
    virtual TResult<QString> CurrentFolder() = 0;
    virtual TResult<TNone> SetCurrentFolder(const QString& folder) = 0;
    static constexpr int dispidCurrentView = 4;
    virtual TResult<int> CurrentView() = 0;
    virtual TResult<TNone> SetCurrentView(int view) = 0;
    static constexpr int dispidDocumentCache = 5;
    virtual TResult<std::shared_ptr<IDocuments>> DocumentCache() = 0;
    static constexpr int dispidExeName = 7;
    virtual TResult<QString> ExeName() = 0;
    static constexpr int dispidHeight = 8;
    virtual TResult<int> Height() = 0;
    virtual TResult<TNone> SetHeight(int value) = 0;
    static constexpr int dispidHInstance = 9;
    virtual TResult<qint64> HInstance() = 0;
    static constexpr int dispidhWnd = 10;
    virtual TResult<qint64> hWnd() = 0;
    static constexpr int dispidLeft = 11;
    virtual TResult<int> Left() = 0;
    virtual TResult<TNone> SetLeft(int value) = 0;
    static constexpr int dispidThumbnailsShowing = 12;
    virtual TResult<bool> ThumbnailsShowing() = 0;
    virtual TResult<TNone> SetThumbnailsShowing(bool wbShowing) = 0;
    static constexpr int dispidTop = 13;
    virtual TResult<int> Top() = 0;
    virtual TResult<TNone> SetTop(int value) = 0;
    static constexpr int dispidVersionText = 14;
    virtual TResult<QString> VersionText() = 0;
    static constexpr int dispidWindowState = 15;
    virtual TResult<int> WindowState() = 0;
    virtual TResult<TNone> SetWindowState(int value) = 0;
    static constexpr int dispidWidth = 16;
    virtual TResult<int> Width() = 0;
    virtual TResult<TNone> SetWidth(int value) = 0;
    static constexpr int dispidBringToFront = 17;
    virtual TResult<TNone> BringToFront() = 0;
    static constexpr int dispidCloseAll = 18;
    virtual TResult<bool> CloseAll(bool wbPromptToSave) = 0;
    static constexpr int dispidExtractFileName = 19;
    virtual TResult<QString> ExtractFileName(const QString& wsFile) = 0;
    static constexpr int dispidExtractFilePath = 20;
    virtual TResult<QString> ExtractFilePath(const QString& wsFile) = 0;
    static constexpr int dispidGetImageSize = 21;
    virtual TResult<bool> GetImageSize(const QString& wsImageFile, int& nHeight, int& nWidth) = 0;
    static constexpr int dispidHideProgress = 22;
    virtual TResult<TNone> HideProgress() = 0;
    static constexpr int dispidInputBox = 23;
    virtual TResult<QString> InputBox(const QString& wsCaption, const QString& wsPrompt,
                                      const QString& wsDefault) = 0;
    static constexpr int dispidIsFileOpen = 24;
    virtual TResult<bool> IsFileOpen(const QString& sFile) = 0;
    static constexpr int dispidIsImageAnimation = 25;
    virtual TResult<bool> IsImageAnimation(const QString& wsFile) = 0;
    static constexpr int dispidMessageBox = 26;
    virtual TResult<int> MessageBox(const QString& wsText, const QString& wsCaption, int nType) = 0;
    static constexpr int dispidNewDocument = 27;
    virtual TResult<TNone> NewDocument(bool wbOpenMaximized) = 0;
    static constexpr int dispidOpenFile = 28;
    virtual TResult<bool> OpenFile(const QString& wsFile) = 0;
    static constexpr int dispidNextDoc = 29;
    virtual TResult<TNone> NextDoc() = 0;
    static constexpr int dispidPreviousDoc = 30;
    virtual TResult<TNone> PreviousDoc() = 0;
    static constexpr int dispidQuit = 31;
    virtual TResult<TNone> Quit() = 0;
    static constexpr int dispidSaveAll = 32;
    virtual TResult<bool> SaveAll() = 0;
    static constexpr int dispidSendToBack = 33;
    virtual TResult<TNone> SendToBack() = 0;
    static constexpr int dispidSetProgress = 34;
    virtual TResult<TNone> SetProgress(int nProgress) = 0;
    static constexpr int dispidSetStatusText = 35;
    virtual TResult<TNone> SetStatusText(const QString& sMessage) = 0;
    static constexpr int dispidStatusWarning = 36;
    virtual TResult<TNone> StatusWarning(const QString& wsMsg) = 0;
    static constexpr int dispidStatusError = 37;
    virtual TResult<TNone> StatusError(const QString& wsMsg) = 0;
    static constexpr int dispidLoadThumbnails = 38;
    virtual TResult<TNone> LoadThumbnails(const QString& sFolder) = 0;
    static constexpr int dispidShowProgress = 39;
    virtual TResult<TNone> ShowProgress() = 0;
    static constexpr int dispidShellToApp = 40;
    virtual TResult<bool> ShellToApp(const QString& wsAppFileName) = 0;
    static constexpr int dispidShellToAppAndWait = 41;
    virtual TResult<TNone> ShellToAppAndWait(const QString& wsAppFileName) = 0;
    static constexpr int dispidWait = 42;
    virtual TResult<TNone> Wait(int nMilliseconds) = 0;
    static constexpr int dispidDocumentIndex = 43;
    virtual TResult<int> DocumentIndex() = 0;
    virtual TResult<TNone> SetDocumentIndex(int value) = 0;
    static constexpr int dispidExplorerShowing = 44;
    virtual TResult<bool> ExplorerShowing() = 0;
    virtual TResult<TNone> SetExplorerShowing(bool value) = 0;
    static constexpr int dispidThumbnailImageFilter = 45;
    virtual TResult<int> ThumbnailImageFilter() = 0;
    virtual TResult<TNone> SetThumbnailImageFilter(int value) = 0;
    static constexpr int dispidCascade = 46;
    virtual TResult<TNone> Cascade() = 0;
    static constexpr int dispidTileHorizontal = 47;
    virtual TResult<TNone> TileHorizontal() = 0;
    static constexpr int dispidTileVertical = 48;
    virtual TResult<TNone> TileVertical() = 0;
    static constexpr int dispidTabIndexForFile = 49;
    virtual TResult<int> TabIndexForFile(const QString& wsFileName) = 0;
    static constexpr int dispidMenuExists = 50;
    virtual TResult<bool> MenuExists(const QString& wsMenuPath) = 0;
    static constexpr int dispidMenu = 51;
    virtual TResult<TObjectRef> Menu(const QString& wsMenuPath) = 0;
    static constexpr int dispidThumbNailFileName = 52;
    virtual TResult<QString> ThumbNailFileName() = 0;
};

} // namespace automation

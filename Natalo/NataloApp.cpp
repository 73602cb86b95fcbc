#include "Natalo/NataloApp.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

#include "Natalo/AppText.h"
#include "Natalo/EntryCommandDialogs.h"
#include "Natalo/EntryListView.h"
#include "Natalo/InstanceChannel.h"
#include "Natalo/MainWindow.h"
#include "Natalo/editors/EditorServices.h"
#include "Natalo/editors/EntryDialogs.h"
#include "Natalo/SyncThread.h"
#include "Natalo/schedule/StorageEditDialog.h"
#include "common/entries/EntryPictures.h"
#include "common/entries/FeskList.h"
#include "platform/imaging/IconLibrary.h"
#include "common/settings/AppSettings.h"
#include "common/text/LocalePatterns.h"
#include "common/store/StorageMove.h"
#include "common/text/ProgramFolder.h"
#include "platform/contacts/ContactStore.h"
#include "platform/sound/EventSound.h"
#include "platform/sync/NamedMutex.h"
#include "platform/text/Utf.h"
#include "platform/ui/KeypadTheme.h"
#include "platform/ui/MessageBox.h"

namespace {

NataloApp* g_current = nullptr;

// How long a second start waits for the running instance to answer; it answers
// as soon as it handles events, which a start-up in progress may delay.
constexpr int kInstanceReplyTimeoutMs = 10'000;
// The latest moment after the start-up that the engine and the sync thread
// start when the window was not painted before.
constexpr int kBackgroundWorkLatestMs = 2'000;

}  // namespace

NataloApp::NataloApp(StartupOptions options) : m_options(std::move(options)) {
  if (!m_options.createContactStore || !m_options.logonContactStore) {
    const StartupOptions defaults = ParseStartupOptions({});
    if (!m_options.createContactStore) m_options.createContactStore = defaults.createContactStore;
    if (!m_options.logonContactStore) m_options.logonContactStore = defaults.logonContactStore;
  }
  g_current = this;
}

NataloApp::~NataloApp() {
  StopSyncThread();
  m_pMainWindow.reset();
  if (m_bIconLibraryLoaded) FreeIconLibrary();
  if (g_current == this) g_current = nullptr;
}

NataloApp* NataloApp::Current() { return g_current; }

void NataloApp::FailBeforeTexts(const QString& text) {
  m_wait.reset();
  keypad::ShowMessageBox(nullptr, text, QStringLiteral("Info"), keypad::MB_OK | keypad::MB_ICONSTOP);
}

int NataloApp::Start() {
  m_wait.emplace();
  keypad::InstallFontSubstitutions();

  m_pContacts = m_options.createContactStore();
  if (!m_pContacts) {
    FailBeforeTexts(QStringLiteral("Can't initialize POOM interface!"));
    return 0;
  }
  if (!m_options.logonContactStore(*m_pContacts)) {
    m_pContacts.reset();
    FailBeforeTexts(QStringLiteral("Can't logon to POOM!"));
    return 0;
  }

  if (!m_options.programFolder.empty()) SetProgramFolder(platform::FromUtf8(m_options.programFolder));
  m_szProgramFolder = platform::ToUtf8(GetProgramFolder());
  if (!GetLocalTable().Load()) {
    FailBeforeTexts(QStringLiteral("Can't find resource file!"));
    return 0;
  }
  InitLocalePatterns();
  keypad::SetMessageBoxButtonTexts(ToQString(LocalText().Get(u"BTN_OK")), ToQString(LocalText().Get(u"BTN_YES")),
                                   ToQString(LocalText().Get(u"BTN_NO")));
  m_szAppName = ToQString(GetLocalTable().GetAppName());
  QApplication::setApplicationDisplayName(m_szAppName);

  std::string message;
  m_szDataFolder = PrepareDataFolder(m_szProgramFolder, message);
  ReportDataFolderMessage(message);
  if (m_szDataFolder.empty()) {
    m_wait.reset();
    keypad::ShowMessageBox(nullptr, ToQString(LocalText().Get(u"MSG_NO_DATA_FOLDER")) + "\n\n" + QString::fromStdString(message),
                           m_szAppName, keypad::MB_OK | keypad::MB_ICONSTOP);
    return 0;
  }

  if (!TakeInstanceRule()) return 0;

  m_bHighRes = m_options.screen.width() > keypad::kHighResolutionWidth;
  m_bIconLibraryLoaded = LoadIconLibrary(m_szProgramFolder, m_bHighRes);
  // Entries open their editors through the hook (FeskItem::Edit); the
  // "More" commands open the picture, reminder and sound dialogs.
  InstallEntryEditors();
  GetEntryCommandDialogs() = {&RunIconPicker, &RunReminderDialog, &RunSoundDialog};
  InstallStorageEditor();

  if (!CreateMainWindow()) return 0;

  m_pfnPlayEventSound = &platform::PlayEventSound;
  m_pfnStopEventSounds = &platform::StopEventSounds;
  const EditorServices services{m_pList.get(), m_pContacts.get(), m_pfnPlayEventSound, m_pfnStopEventSounds};
  SetEditorServices(&services);

  if (!m_engine.Load(m_szProgramFolder)) {
    m_wait.reset();
    keypad::ShowMessageBox(m_pMainWindow.get(), ToQString(LocalText().Get(u"MSG_NO_ENGINE")), m_szAppName,
                           keypad::MB_OK | keypad::MB_ICONSTOP);
    return -1;
  }
  // The engine's recalculation and the thread that follows the other
  // programs' changes start once the list was painted: the first screen
  // needs neither, and both would compete with it for the processor. A
  // window that is never painted (hidden at once) starts them a little later.
  QObject::connect(&m_pMainWindow->List(), &EntryListView::firstPainted, m_pMainWindow.get(),
                   [this] { StartBackgroundWork(); }, Qt::QueuedConnection);
  QTimer::singleShot(kBackgroundWorkLatestMs, m_pMainWindow.get(), [this] { StartBackgroundWork(); });
  m_wait.reset();
  m_pMainWindow->OfferFirstRunScan();
  return kRunning;
}

void NataloApp::StartBackgroundWork() {
  if (m_bBackgroundWorkStarted) return;
  m_bBackgroundWorkStarted = true;
  m_engine.CalculateEvents();
  // The reminder utility's changes reach the window through
  // MainWindow::OnReminderStateChanged; changes made before the thread
  // started are taken in by the next save (TakeInOtherWriters).
  StartSyncThread(m_pMainWindow.get(), m_pList.get(), m_szDataFolder);
}

bool NataloApp::TakeInstanceRule() {
  bool existed = false;
  m_pInstanceMutex = platform::NamedMutex::Create(u"Natalo_Instance_Mutex", &existed);
  const QString channel = InstanceChannelName(QString::fromStdString(m_szProgramFolder));
  if (existed) {
    m_wait.reset();
    if (AskRunningInstance(channel, kInstanceReplyTimeoutMs) != InstanceReply::ClosedBox) return false;
    m_wait.emplace();
  }
  m_pInstanceServer = std::make_unique<InstanceServer>(channel, [this] {
    if (m_pMainWindow) {
      m_pMainWindow->ComeForward();
      return InstanceReply::CameForward;
    }
    return keypad::CloseMessageBoxes(m_szAppName) ? InstanceReply::ClosedBox : InstanceReply::Nothing;
  });
  // Without the channel the program still runs; later starts then simply end.
  m_pInstanceServer->Listen();
  return true;
}

bool NataloApp::CreateMainWindow() {
  SetHighResolutionScreen(m_bHighRes);
  m_pictures.Load(m_bHighRes);
  QApplication::setWindowIcon(QIcon(QPixmap::fromImage(LoadAppIcon(48))));

  m_pList = std::make_unique<FeskList>(m_szDataFolder + "storage.dat");
  m_pMainWindow = std::make_unique<MainWindow>(m_szAppName, *m_pList, &m_pictures, m_bHighRes);
  m_pMainWindow->resize(m_options.screen);
  m_pMainWindow->SetRecalculate([this] { return m_engine.CalculateEvents(); });

  LoadAllSettings();
  m_pMainWindow->UpdateCheckMarks();
  m_pList->LoadAndUpgradeStorage();
  m_pList->LoadStars();

  EntryListView& list = m_pMainWindow->List();
  if (!list.FillList()) {
    m_pMainWindow.reset();
    m_pList.reset();
    return false;
  }
  if (m_options.exitAfterFirstPaint) {
    QObject::connect(&list, &EntryListView::firstPainted, m_pMainWindow.get(), [this] {
      std::fputs("first-paint\n", stdout);
      std::fflush(stdout);
      m_pMainWindow->close();
    }, Qt::QueuedConnection);
  }
  m_pMainWindow->show();
  m_pMainWindow->ComeForward();
  m_pMainWindow->UpdateMenuState();
  m_wait.reset();
  return true;
}

int NataloApp::Run() {
  QApplication::exec();
  StopSyncThread();
  Shutdown();
  return 0;
}

void NataloApp::Shutdown() {
  // The window is closed and its settings are saved: a new start may begin
  // now. Unloading the engine below waits for a calculation in progress (it
  // must finish arming the reminders), which can take seconds; a start in the
  // meantime would otherwise wait for this process and then end without a
  // window.
  m_pInstanceServer.reset();
  m_pInstanceMutex.reset();
  SetEditorServices(nullptr);
  m_pfnPlayEventSound = nullptr;
  m_pfnStopEventSounds = nullptr;
  if (m_pContacts) {
    m_pContacts->Logoff();
    m_pContacts.reset();
  }
  m_engine.Free();
  m_pMainWindow.reset();
  m_pList.reset();
  m_pictures.Free();
  if (m_bIconLibraryLoaded) FreeIconLibrary();
  m_bIconLibraryLoaded = false;
}

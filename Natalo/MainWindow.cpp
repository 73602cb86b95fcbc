#include "Natalo/MainWindow.h"

#include <QCloseEvent>

#include "Natalo/AppText.h"
#include "Natalo/Commands.h"
#include "Natalo/EntryListView.h"
#include "Natalo/MainMenu.h"
#include "common/entries/FeskList.h"
#include "common/settings/AppSettings.h"

MainWindow::MainWindow(const QString& title, FeskList& list, const AppPictures* pictures, bool bHighRes)
    : m_szTitle(title), m_entries(list), m_screen(new keypad::KeypadScreen) {
  setWindowTitle(title);
  m_screen->SetTitle(title);
  m_list = new EntryListView(list, pictures, bHighRes, m_screen->Content());
  m_screen->ContentLayout()->addWidget(m_list);
  m_list->SetHint(DefinedText(LocalText().Get(u"HINT_MAINSCREEN")));
  m_menu = std::make_unique<MainMenu>(this);
  m_menu->Attach(*m_screen->SoftKeys());
  UpdateCheckMarks();
  SetMainScreen(m_screen);

  connect(m_screen, &keypad::KeypadScreen::commandChosen, this, &MainWindow::RunCommand);
  connect(m_list, &EntryListView::sendCommand, this, &MainWindow::RunCommand);
  connect(m_list, &EntryListView::postCommand, this, &MainWindow::RunCommand, Qt::QueuedConnection);
}

MainWindow::~MainWindow() = default;

void MainWindow::UpdateMenuState() {
  m_menu->UpdateMenuState(m_list->RowCount() > 0 ? m_list->SelectedEntry() : nullptr);
}

void MainWindow::UpdateCheckMarks() { m_menu->UpdateCheckMarks(g_settings); }

void MainWindow::ComeForward() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
  if (m_list->isEnabled()) {
    m_list->setFocus();
    UpdateMenuState();
  }
}

bool MainWindow::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && m_list->isEnabled() && TopScreen() == m_screen) {
    m_list->setFocus();
    UpdateMenuState();
  }
  return KeypadWindow::event(event);
}

void MainWindow::OnReminderStateChanged() { m_list->RefreshList(); }

void MainWindow::closeEvent(QCloseEvent* event) {
  SaveShowSort();
  emit closedByUser();
  KeypadWindow::closeEvent(event);
}

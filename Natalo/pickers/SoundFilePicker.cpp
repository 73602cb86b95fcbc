#include "Natalo/pickers/SoundFilePicker.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QStandardPaths>
#include <QStyle>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "Natalo/AppText.h"
#include "Natalo/pickers/ChoosingDialog.h"
#include "platform/sound/SoundFileList.h"
#include "platform/ui/FullScreenDialog.h"
#include "platform/ui/PictureList.h"
#include "platform/ui/SoftKeyBar.h"
#include "platform/ui/TextFields.h"
#include "platform/ui/WaitCursor.h"

namespace fs = std::filesystem;

bool IsSoundFileName(const std::string& name) {
  // The desktop's own sounds are Ogg (.oga), hence the four Ogg and FLAC names.
  static const char* const kExtensions[] = {".mp3", ".wav", ".mid", ".wma", ".ogg", ".oga", ".flac", ".opus"};
  const auto dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  std::string ext = name.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return std::any_of(std::begin(kExtensions), std::end(kExtensions), [&ext](const char* e) { return ext == e; });
}

std::vector<SoundFolderEntry> ListSoundFolder(const std::string& folder) {
  struct Found {
    SoundFolderEntry entry;
    QString key;  // the name as the sort compares it, made once
  };
  std::vector<Found> found;
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? "/" : folder, fs::directory_options::skip_permission_denied, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code typeError;
    const bool isFolder = it->is_directory(typeError);
    if (!isFolder && !IsSoundFileName(name)) continue;
    QString key = QString::fromStdString(name).toCaseFolded();
    found.push_back({{std::move(name), isFolder}, std::move(key)});
  }
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    if (a.entry.isFolder != b.entry.isFolder) return a.entry.isFolder;
    return a.key < b.key;
  });
  std::vector<SoundFolderEntry> out;
  out.reserve(found.size());
  for (Found& f : found) out.push_back(std::move(f.entry));
  return out;
}

std::string ParentFolder(const std::string& folder) {
  if (folder.size() < 2) return "/";
  std::string up = folder.substr(0, folder.size() - 1);
  const auto slash = up.rfind('/');
  return slash == std::string::npos ? "/" : up.substr(0, slash + 1);
}

std::string& SoundPickerFolder() {
  static std::string folder;
  return folder;
}

std::string FirstSoundFolder() {
  const QString home = QDir::homePath();
  const std::string candidates[] = {
      platform::UserSoundFolder(),
      QStandardPaths::writableLocation(QStandardPaths::MusicLocation).toStdString(),
      home.toStdString(),
  };
  for (const std::string& folder : candidates) {
    std::error_code ec;
    if (!folder.empty() && folder[0] == '/' && fs::is_directory(folder, ec)) {
      return folder.back() == '/' ? folder : folder + "/";
    }
  }
  return "/";
}

namespace {

class SoundFilePicker : public ChoosingDialog {
 public:
  SoundFilePicker(std::string current, QWidget* parent)
      : ChoosingDialog(parent), m_current(std::move(current)) {
    const LocalTable& t = LocalText();
    SetTitle(ToQString(t.Get(u"DLG_FILESELECT_HEADERTEXT")));
    m_where = new QLabel;
    m_where->setTextFormat(Qt::PlainText);
    m_where->setStyleSheet(QStringLiteral("padding: 2px 4px; border-bottom: 1px solid #8a99ad;"));
    m_list = new keypad::PictureList;
    ContentLayout()->addWidget(m_where);
    ContentLayout()->addWidget(m_list, 1);
    connect(m_list, &QListWidget::itemActivated, this, [this] { Choose(); });
    connect(m_list, &keypad::PictureList::rightPressed, this, [this] { Choose(); });
    connect(m_list, &keypad::PictureList::leftPressed, this, [this] { GoUp(); });
    if (SoundPickerFolder().empty()) SoundPickerFolder() = FirstSoundFolder();
    Fill();
  }

  std::string Chosen() const { return m_current; }
  keypad::PictureList* List() const { return m_list; }

 protected:
  void OnScreenResized(const QSize&) override { ShowFolder(); }
  void showEvent(QShowEvent* event) override {
    FullScreenDialog::showEvent(event);
    ShowFolder();
  }
  void OnBack() override {
    if (SoundPickerFolder().size() < 2) {
      Done(keypad::kResultCancel);
    } else {
      GoUp();
    }
  }

 private:
  void Fill() {
    keypad::WaitCursor wait;
    const std::string& folder = SoundPickerFolder();
    ShowFolder();
    m_entries = ListSoundFolder(folder);
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon fileIcon = style()->standardIcon(QStyle::SP_FileIcon);
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    int select = 0;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
      const SoundFolderEntry& e = m_entries[i];
      m_list->AddRow(e.isFolder ? folderIcon : fileIcon, QString::fromStdString(e.name), static_cast<int>(i));
      if (!e.isFolder && folder + e.name == m_current) select = static_cast<int>(i);
    }
    m_list->setUpdatesEnabled(true);
    m_list->SelectRow(select);
    m_list->setFocus(Qt::OtherFocusReason);
  }

  // The folder's end matters most: a long path loses its beginning.
  void ShowFolder() {
    const QString path = QString::fromStdString(SoundPickerFolder());
    m_where->setText(m_where->fontMetrics().elidedText(path, Qt::ElideLeft, std::max(width() - 8, 40)));
    m_where->setToolTip(path);
  }

  void Choose() override {
    const int row = m_list->currentRow();
    if (row < 0 || row >= static_cast<int>(m_entries.size())) return;
    const SoundFolderEntry& e = m_entries[static_cast<std::size_t>(row)];
    if (e.isFolder) {
      SoundPickerFolder() += e.name + "/";
      Fill();
    } else {
      m_current = SoundPickerFolder() + e.name;
      Done(keypad::kResultDone);
    }
  }

  void GoUp() {
    if (SoundPickerFolder().size() < 2) return;
    SoundPickerFolder() = ParentFolder(SoundPickerFolder());
    Fill();
  }

  std::string m_current;
  std::vector<SoundFolderEntry> m_entries;
  QLabel* m_where = nullptr;
  keypad::PictureList* m_list = nullptr;
};

}  // namespace

int SelectSoundFile(QWidget* owner, keypad::LineField& pathField) {
  const std::string current = pathField.Value().toStdString();
  const auto slash = current.rfind('/');
  if (slash != std::string::npos) {
    const std::string folder = current.substr(0, slash + 1);
    std::error_code ec;
    if (fs::is_directory(folder, ec)) SoundPickerFolder() = folder;
  }
  SoundFilePicker picker(current, owner);
  if (picker.Exec() != keypad::kResultDone) return keypad::kResultCancel;
  pathField.setText(QString::fromStdString(picker.Chosen()));
  return keypad::kResultDone;
}

#include "Natalo/editors/SoundDialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>

#include <algorithm>

#include "Natalo/AppText.h"
#include "Natalo/DialogKeys.h"
#include "Natalo/editors/EditorServices.h"
#include "platform/ui/DialogHost.h"
#include "Natalo/pickers/SoundFilePicker.h"
#include "common/entries/FeskItem.h"
#include "common/settings/AppSettings.h"
#include "platform/ui/FormColumn.h"
#include "platform/ui/SoftKeyBar.h"
#include "platform/ui/SpinnerList.h"
#include "platform/ui/TextFields.h"
#include "platform/ui/WaitCursor.h"

namespace {

constexpr char16_t kPreviewEvent[] = u"QV_FESK_Sample";
constexpr char16_t kAlarmInitVol[] = u"HKEY_CURRENT_USER\\ControlPanel\\SoundCategories\\Alarm\\InitVol";

std::u16string ProgramSoundFileValue(std::uint16_t kind) {
  switch (kind) {
    case Birthday: return SettingPath(u"Sound\\BFile");
    case Anniversary: return SettingPath(u"Sound\\AFile");
    default: return SettingPath(u"Sound\\OFile");
  }
}

const std::u16string& ProgramSoundFile(std::uint16_t kind) {
  switch (kind) {
    case Birthday: return g_settings.g_szBSoundFile;
    case Anniversary: return g_settings.g_szASoundFile;
    default: return g_settings.g_szOSoundFile;
  }
}

}  // namespace

void PlaySoundSample(const std::u16string& path, std::uint32_t volume, const QWidget* window) {
  WriteRegistryStringRetry(u"HKEY_CURRENT_USER\\ControlPanel\\Sounds\\QV_FESK_Sample\\Sound", path);
  WriteRegistryDwordRetry(u"HKEY_CURRENT_USER\\ControlPanel\\SoundCategories\\QV_FESK_Sample\\InitVol", volume);
  WriteRegistryDwordRetry(u"HKEY_CURRENT_USER\\ControlPanel\\SoundCategories\\QV_FESK_Sample\\AttenuationCategory", 2);
  WriteRegistryStringRetry(u"HKEY_CURRENT_USER\\ControlPanel\\Sounds\\QV_FESK_Sample\\Category", kPreviewEvent);
  WriteRegistryStringRetry(u"HKEY_CURRENT_USER\\ControlPanel\\SoundCategories\\QV_FESK_Sample\\Script", u"p");
  // A file that does not play leaves nothing playing; the dialog goes on.
  if (const auto play = GetEditorServices().playEventSound) play(kPreviewEvent, window);
}

std::vector<platform::SoundFileInfo> MergeSoundFileLists(const std::vector<platform::SoundFileInfo>& ringTones,
                                                         const std::vector<platform::SoundFileInfo>& alarms) {
  const bool ringFirst = ringTones.size() >= alarms.size();
  const auto& first = ringFirst ? ringTones : alarms;
  const auto& second = ringFirst ? alarms : ringTones;
  std::vector<platform::SoundFileInfo> out;
  for (const auto& f : first) {
    if (f.type != platform::SOUND_FILE_UNPLAYABLE) out.push_back(f);
  }
  const std::size_t taken = out.size();
  for (const auto& f : second) {
    if (f.type == platform::SOUND_FILE_UNPLAYABLE) continue;
    const bool known = std::any_of(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(taken),
                                   [&f](const platform::SoundFileInfo& o) { return o.path == f.path; });
    if (!known) out.push_back(f);
  }
  if (out.size() > 1) {
    std::stable_sort(out.begin() + 1, out.end(), [](const platform::SoundFileInfo& a, const platform::SoundFileInfo& b) {
      return QString::compare(QString::fromStdU16String(a.displayName), QString::fromStdU16String(b.displayName),
                              Qt::CaseInsensitive) < 0;
    });
  }
  return out;
}

SoundDialog::SoundDialog(FeskItem& entry, QWidget* parent) : FullScreenDialog(keypad::DialogHost(parent)), m_entry(entry) {
  keypad::WaitCursor wait;
  const LocalTable& t = LocalText();
  switch (entry.m_wKind) {
    case Birthday: SetTitle(ToQString(t.Get(u"DLG_SO_HEADER_SOUND_B"))); break;
    case Anniversary: SetTitle(ToQString(t.Get(u"DLG_SO_HEADER_SOUND_A"))); break;
    default: SetTitle(ToQString(t.Get(u"DLG_SO_HEADER_SOUND_OD"))); break;
  }
  SetDoneCancelKeys(SoftKeys());

  // The desktop has no operating-system version of the phone: its alarm list is event 6.
  std::vector<platform::SoundFileInfo> ringTones, alarms;
  platform::GetSoundFileList(platform::SOUND_EVENT_RINGTONE, platform::SoundLocation::All, ringTones);
  platform::GetSoundFileList(platform::SOUND_EVENT_ALARM, platform::SoundLocation::All, alarms);
  m_files = MergeSoundFileLists(ringTones, alarms);

  LoadSoundSettings();
  const bool own = entry.m_bOwnSound != 0;
  auto* form = new keypad::FormColumn;
  m_config = new keypad::SpinnerList;
  m_config->AddItem(ToQString(t.Get(u"DLG_SO_PROGRAMSOUNDCONFIG")));
  m_config->AddItem(ToQString(t.Get(u"DLG_SO_CUSTOMSOUNDCONFIG")));
  m_config->SetCurrentIndex(own ? 1 : 0);
  form->AddRow(ToQString(t.Get(u"DLG_SO_STATIC_CONFIG")), m_config);
  m_type = new keypad::SpinnerList;
  m_type->FillFromKeyText(ToQString(t.Get(u"DLG_SOUND_TYPE")));
  m_type->SetCurrentIndex(static_cast<int>(own ? entry.m_dwSoundType : g_settings.g_dwSoundType));
  form->AddRow(ToQString(t.Get(u"DLG_ISO_STATIC_SOUND_TYPE")), m_type);
  m_volume = new keypad::SpinnerList;
  m_volume->FillFromKeyText(ToQString(t.Get(u"DLG_SOUND_VOLUME")));
  m_volume->SetCurrentIndex(static_cast<int>(own ? entry.m_dwVolume : g_settings.g_dwSoundVolume));
  if (m_type->CurrentIndex() == 0) m_volume->SetCurrentIndex(AlarmVolumeIndex(m_volume->CurrentIndex()));
  form->AddRow(ToQString(t.Get(u"DLG_ISO_STATIC_SOUND_VOLUME")), m_volume);
  m_sound = new keypad::SpinnerList;
  m_sound->AddItem(ToQString(t.Get(u"DLG_SOUND_PROGRAMDEFAULT")));
  m_sound->AddItem(ToQString(t.Get(u"DLG_SOUND_SYSTEMALARM")));
  m_sound->AddItem(ToQString(t.Get(u"DLG_SOUND_CUSTOMFILE")));
  for (const auto& f : m_files) m_sound->AddItem(ToQString(f.displayName), ToQString(f.path));
  form->AddRow(ToQString(t.Get(u"DLG_SO_STATIC_SOUND")), m_sound);
  m_file = new keypad::LineField;
  m_file->SetLimit(kFileLimit);
  m_file->SetFocusHint(ToQString(t.Get(u"HINT_SOUNDFILE")));
  if (!own) m_file->setText(keypad::CutToLimit(ToQString(ProgramSoundFile(entry.m_wKind)), kFileLimit));
  m_fileLabel = form->AddRow(ToQString(t.Get(u"DLG_SO_STATIC_FILE")), m_file);
  switch (entry.m_dwSoundSource) {
    case 0: m_sound->SetCurrentIndex(kProgramDefault); break;
    case 1: m_sound->SetCurrentIndex(kSystemAlarm); break;
    case 2:
      m_sound->SetCurrentIndex(kCustomFile);
      m_file->setText(keypad::CutToLimit(EntryQString(entry.SoundFile()), kFileLimit));
      break;
    default: {
      // The listed file with the stored path, wherever the list now puts it.
      const auto it = std::find_if(m_files.begin(), m_files.end(),
                                   [&entry](const platform::SoundFileInfo& f) { return f.path == entry.SoundFile(); });
      const int listed = it == m_files.end() ? 0 : static_cast<int>(it - m_files.begin());
      if (!m_files.empty()) m_sound->SetCurrentIndex(kFirstListed + listed);
      break;
    }
  }
  ContentLayout()->addWidget(form);
  UpdateEnabled();
  m_fileLabel->setVisible(FileRowShown());
  m_file->setVisible(FileRowShown());
  connect(m_config, &keypad::SpinnerList::currentIndexChanged, this, [this] { OnConfigChanged(); });
  connect(m_type, &keypad::SpinnerList::currentIndexChanged, this, [this] { OnTypeChanged(); });
  connect(m_sound, &keypad::SpinnerList::currentIndexChanged, this, [this] { OnSoundChanged(); });
}

SoundDialog::~SoundDialog() { StopPreview(); }

bool SoundDialog::FileRowShown() const { return m_sound->CurrentIndex() == kCustomFile; }

int SoundDialog::AlarmVolumeIndex(int fallback) const {
  std::uint32_t initVol = 0;
  if (!ReadRegistryDword(kAlarmInitVol, initVol) || initVol == 0) return fallback;
  return static_cast<int>(initVol) - 1;
}

void SoundDialog::UpdateEnabled() {
  const bool own = m_config->CurrentIndex() == 1;
  m_type->setEnabled(own);
  m_volume->setEnabled(own && m_type->CurrentIndex() != 0);
}

void SoundDialog::OnConfigChanged() {
  UpdateEnabled();
  if (m_config->CurrentIndex() == 0) {
    m_volume->SetCurrentIndex(g_settings.g_dwSoundType != 0 ? static_cast<int>(g_settings.g_dwSoundVolume)
                                                           : AlarmVolumeIndex(m_volume->CurrentIndex()));
  }
  if (m_type->CurrentIndex() == 0) m_volume->SetCurrentIndex(AlarmVolumeIndex(m_volume->CurrentIndex()));
}

void SoundDialog::OnTypeChanged() {
  UpdateEnabled();
  if (m_type->CurrentIndex() == 0) m_volume->SetCurrentIndex(AlarmVolumeIndex(m_volume->CurrentIndex()));
}

void SoundDialog::OnSoundChanged() {
  StopPreview();
  m_fileLabel->setVisible(FileRowShown());
  m_file->setVisible(FileRowShown());
  Preview();
}

bool SoundDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut && (watched == m_sound || watched == m_file)) StopPreview();
  if (event->type() == QEvent::KeyPress && isVisible() && !QApplication::activePopupWidget()) {
    auto* key = static_cast<QKeyEvent*>(event);
    auto* target = qobject_cast<QWidget*>(watched);
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && target &&
        target == window()->focusWidget() && isAncestorOf(target)) {
      if (target == m_file) {
        SelectSoundFile(this, *m_file);
      } else {
        OnCommand(keypad::kResultDone);
      }
      return true;
    }
  }
  return FullScreenDialog::eventFilter(watched, event);
}

std::u16string SoundDialog::PreviewPath() const {
  const int s = m_sound->CurrentIndex();
  std::u16string path;
  if (s == kProgramDefault) {
    ReadRegistryString(ProgramSoundFileValue(m_entry.m_wKind), path);
  } else if (s == kSystemAlarm) {
    ReadRegistryString(u"HKEY_CURRENT_USER\\ControlPanel\\Sounds\\Clock\\Sound", path);
  } else if (s == kCustomFile) {
    path = keypad::CutToLimit(m_file->Value(), kFileLimit).toStdU16String();
  } else if (s >= kFirstListed && s - kFirstListed < static_cast<int>(m_files.size())) {
    path = m_files[static_cast<std::size_t>(s - kFirstListed)].path;
  }
  return path;
}

void SoundDialog::Preview() {
  std::uint32_t volume = static_cast<std::uint32_t>(m_volume->CurrentIndex() + 1);
  if (m_type->CurrentIndex() == 0) ReadRegistryDword(kAlarmInitVol, volume);
  PlaySoundSample(PreviewPath(), volume, this);
}

void SoundDialog::StopPreview() {
  if (const auto stop = GetEditorServices().stopEventSounds) stop(kPreviewEvent);
}

void SoundDialog::OnCommand(int command) {
  StopPreview();
  if (command == keypad::kResultDone) {
    Save();
    Done(keypad::kResultDone);
  } else {
    Done(keypad::kResultCancel);
  }
}

void SoundDialog::OnScreenResized(const QSize&) {
  if (m_type->isEnabled()) {
    m_type->setFocus(Qt::OtherFocusReason);
  } else {
    m_config->setFocus(Qt::OtherFocusReason);
  }
}

void SoundDialog::Save() {
  m_entry.m_bOwnSound = m_config->CurrentIndex() == 1 ? 1 : 0;
  m_entry.m_dwSoundType = static_cast<std::uint32_t>(std::max(m_type->CurrentIndex(), 0));
  const int s = m_sound->CurrentIndex();
  if (s == kProgramDefault || s == kSystemAlarm) {
    m_entry.m_dwSoundSource = static_cast<std::uint32_t>(s);
    m_entry.SetSoundFile({});
  } else if (s == kCustomFile) {
    m_entry.m_dwSoundSource = 2;
    m_entry.SetSoundFile(keypad::CutToLimit(m_file->Value(), kFileLimit).toStdU16String());
  } else {
    m_entry.m_dwSoundSource = 3;
    m_entry.SetSoundFile(m_sound->ItemData(s).toString().toStdU16String());
  }
  if (m_entry.m_bOwnSound != 0) {
    m_entry.m_dwVolume = static_cast<std::uint32_t>(std::max(m_volume->CurrentIndex(), 0));
  } else {
    m_entry.m_dwVolume = 0;
    if (m_entry.m_dwSoundSource == 0) m_entry.SetSoundFile({});
  }
}

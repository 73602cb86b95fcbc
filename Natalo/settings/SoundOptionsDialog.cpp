#include "Natalo/settings/SoundOptionsDialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>

#include <algorithm>
#include <chrono>

#include "Natalo/AppText.h"
#include "Natalo/editors/EditorServices.h"
#include "Natalo/editors/SoundDialog.h"
#include "Natalo/pickers/SoundFilePicker.h"
#include "common/settings/AppSettings.h"
#include "platform/ui/FormColumn.h"
#include "platform/ui/SpinnerList.h"
#include "platform/ui/TextFields.h"
#include "platform/ui/WaitCursor.h"

namespace {

constexpr char16_t kPreviewEvent[] = u"QV_FESK_Sample";
constexpr char16_t kAlarmInitVol[] = u"HKEY_CURRENT_USER\\ControlPanel\\SoundCategories\\Alarm\\InitVol";

struct KindSetting {
  const char16_t* soundLabel;
  const char16_t* fileLabel;
  std::uint32_t AppSettings::*source;
  std::u16string AppSettings::*file;
};

constexpr KindSetting kKindSettings[] = {
    {u"DLG_SO_STATIC_BIRTHDAY_SOUND", u"DLG_SO_STATIC_BIRTHDAY_FILE", &AppSettings::g_dwBSoundType,
     &AppSettings::g_szBSoundFile},
    {u"DLG_SO_STATIC_ANNIVERSARY_SOUND", u"DLG_SO_STATIC_ANNIVERSARY_FILE", &AppSettings::g_dwASoundType,
     &AppSettings::g_szASoundFile},
    {u"DLG_SO_STATIC_OTHERDATE_SOUND", u"DLG_SO_STATIC_OTHERDATE_FILE", &AppSettings::g_dwOSoundType,
     &AppSettings::g_szOSoundFile},
};

// The system alarm's volume as a list index, or `fallback` when it is unknown.
int AlarmVolumeIndex(int fallback) {
  std::uint32_t initVol = 0;
  if (!ReadRegistryDword(kAlarmInitVol, initVol) || initVol == 0) return fallback;
  return static_cast<int>(initVol) - 1;
}

}  // namespace

const std::vector<platform::SoundFileInfo>& OfferedSoundFiles() {
  static const std::vector<platform::SoundFileInfo> files = [] {
    std::vector<platform::SoundFileInfo> ringTones, alarms;
    platform::GetSoundFileList(platform::SOUND_EVENT_RINGTONE, platform::SoundLocation::All, ringTones);
    platform::GetSoundFileList(platform::SOUND_EVENT_ALARM, platform::SoundLocation::All, alarms);
    return MergeSoundFileLists(ringTones, alarms);
  }();
  return files;
}

SoundOptionsDialog::SoundOptionsDialog(QWidget* parent)
    : SettingsDialog(parent, u"DLG_HEADER_SOUNDS"), m_files(OfferedSoundFiles()) {
  keypad::WaitCursor wait;
  const LocalTable& t = LocalText();

  LoadSoundSettings();
  auto* form = new keypad::FormColumn;
  m_type = new keypad::SpinnerList;
  m_type->FillFromKeyText(ToQString(t.Get(u"DLG_SOUND_TYPE")));
  if (!m_type->SetCurrentIndex(static_cast<int>(g_settings.g_dwSoundType))) m_type->SetCurrentIndex(0);
  form->AddRow(ToQString(t.Get(u"DLG_SO_STATIC_SOUND_TYPE")), m_type);
  m_volume = new keypad::SpinnerList;
  m_volume->FillFromKeyText(ToQString(t.Get(u"DLG_SOUND_VOLUME")));
  if (!m_volume->SetCurrentIndex(static_cast<int>(g_settings.g_dwSoundVolume))) m_volume->SetCurrentIndex(0);
  form->AddRow(ToQString(t.Get(u"DLG_SO_STATIC_SOUND_VOLUME")), m_volume);
  OnTypeChanged();

  for (std::size_t k = 0; k < m_kinds.size(); ++k) {
    const KindSetting& setting = kKindSettings[k];
    KindRows& kind = m_kinds[k];
    kind.sound = new keypad::SpinnerList;
    kind.sound->AddItem(ToQString(t.Get(u"DLG_SOUND_SYSTEMALARM")));
    kind.sound->AddItem(ToQString(t.Get(u"DLG_SOUND_CUSTOMFILE")));
    for (const auto& f : m_files) kind.sound->AddItem(ToQString(f.displayName), ToQString(f.path));
    kind.file = new keypad::LineField;
    kind.file->SetLimit(kFileLimit);
    kind.file->SetFocusHint(ToQString(t.Get(u"HINT_SOUNDFILE")));
    const std::u16string& stored = g_settings.*setting.file;
    int index = kSystemAlarm;
    if (g_settings.*setting.source == 1) {
      index = kCustomFile;
      kind.file->setText(keypad::CutToLimit(ToQString(stored), kFileLimit));
    } else if (g_settings.*setting.source == 2) {
      // A file no longer offered falls back to the system alarm.
      const auto it = std::find_if(m_files.begin(), m_files.end(),
                                   [&stored](const platform::SoundFileInfo& f) { return f.path == stored; });
      if (it != m_files.end()) index = kFirstOffered + static_cast<int>(it - m_files.begin());
    }
    kind.sound->SetCurrentIndex(index);
    form->AddRow(ToQString(t.Get(setting.soundLabel)), kind.sound);
    kind.fileLabel = form->AddRow(ToQString(t.Get(setting.fileLabel)), kind.file);
    kind.fileLabel->setVisible(index == kCustomFile);
    kind.file->setVisible(index == kCustomFile);
    kind.sound->installEventFilter(this);
    kind.file->installEventFilter(this);
    connect(kind.sound, &keypad::SpinnerList::currentIndexChanged, this, [this, &kind] { OnSoundChanged(kind); });
  }
  ContentLayout()->addWidget(form);
  connect(m_type, &keypad::SpinnerList::currentIndexChanged, this, [this] { OnTypeChanged(); });
}

SoundOptionsDialog::~SoundOptionsDialog() { StopPreview(); }

void SoundOptionsDialog::OnTypeChanged() {
  const bool likeAlarm = m_type->CurrentIndex() == 0;
  m_volume->setEnabled(!likeAlarm);
  if (likeAlarm) m_volume->SetCurrentIndex(AlarmVolumeIndex(m_volume->CurrentIndex()));
}

void SoundOptionsDialog::OnSoundChanged(KindRows& kind) {
  StopPreview();
  const bool custom = kind.sound->CurrentIndex() == kCustomFile;
  kind.fileLabel->setVisible(custom);
  kind.file->setVisible(custom);
  Preview(kind);
}

void SoundOptionsDialog::Preview(const KindRows& kind) {
  const int s = kind.sound->CurrentIndex();
  std::u16string path;
  if (s == kSystemAlarm) {
    ReadRegistryString(u"HKEY_CURRENT_USER\\ControlPanel\\Sounds\\Clock\\Sound", path);
  } else if (s == kCustomFile) {
    path = keypad::CutToLimit(kind.file->Value(), kFileLimit).toStdU16String();
  } else if (s >= kFirstOffered && s - kFirstOffered < static_cast<int>(m_files.size())) {
    path = m_files[static_cast<std::size_t>(s - kFirstOffered)].path;
  }
  std::uint32_t volume = static_cast<std::uint32_t>(m_volume->CurrentIndex() + 1);
  if (m_type->CurrentIndex() == 0) ReadRegistryDword(kAlarmInitVol, volume);
  PlaySoundSample(path, volume, this);
}

void SoundOptionsDialog::StopPreview() {
  if (const auto stop = GetEditorServices().stopEventSounds) stop(kPreviewEvent);
}

bool SoundOptionsDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) {
    for (const KindRows& kind : m_kinds) {
      if (watched == kind.sound || watched == kind.file) StopPreview();
    }
  }
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      for (KindRows& kind : m_kinds) {
        if (watched == kind.file) {
          SelectSoundFile(this, *kind.file);
          return true;
        }
      }
    }
  }
  return FullScreenDialog::eventFilter(watched, event);
}

void SoundOptionsDialog::OnScreenResized(const QSize&) { m_type->setFocus(Qt::OtherFocusReason); }

void SoundOptionsDialog::OnCommand(int command) {
  StopPreview();
  // Done while a file field has the focus chooses the file instead.
  for (KindRows& kind : m_kinds) {
    if (command == keypad::kResultDone && kind.file->isVisible() && kind.file->hasFocus()) {
      SelectSoundFile(this, *kind.file);
      return;
    }
  }
  SettingsDialog::OnCommand(command);
}

void SoundOptionsDialog::Store(const KindRows& kind, std::uint32_t& source, std::u16string& file) const {
  const int s = kind.sound->CurrentIndex();
  if (s == kCustomFile) {
    source = 1;
    file = keypad::CutToLimit(kind.file->Value(), kFileLimit).toStdU16String();
  } else if (s >= kFirstOffered) {
    source = 2;
    file = kind.sound->ItemData(s).toString().toStdU16String();
  } else {
    source = 0;
    file.clear();
  }
}

bool SoundOptionsDialog::Save() {
  AppSettings chosen = g_settings;
  chosen.g_dwSoundType = static_cast<std::uint32_t>(std::max(m_type->CurrentIndex(), 0));
  chosen.g_dwSoundVolume = static_cast<std::uint32_t>(std::max(m_volume->CurrentIndex(), 0));
  for (std::size_t k = 0; k < m_kinds.size(); ++k) {
    Store(m_kinds[k], chosen.*kKindSettings[k].source, chosen.*kKindSettings[k].file);
  }
  if (!SaveSoundSettings(chosen)) {
    // Put back what the reminder utility read before, as far as that goes.
    SaveSoundSettings(g_settings, RetryRule{1, std::chrono::milliseconds(0)});
    return false;
  }
  g_settings = chosen;
  return true;
}

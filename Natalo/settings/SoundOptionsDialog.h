#pragma once
// The program's reminder sounds: sound type and volume, and for birthdays,
// anniversaries and other dates the sound (system alarm, a file of the user's
// choice or one of the offered sound files). Choosing a sound plays a preview
// through the sound event "QV_FESK_Sample". Done writes every value.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sound/SoundFileList.h"
#include "Natalo/settings/SettingsDialog.h"

class QLabel;
struct AppSettings;
namespace keypad {
class LineField;
class SpinnerList;
}  // namespace keypad

class SoundOptionsDialog : public SettingsDialog {
  Q_OBJECT

 public:
  // Items of a sound list before the offered files.
  enum SoundItem { kSystemAlarm = 0, kCustomFile = 1, kFirstOffered = 2 };
  static constexpr int kFileLimit = 259;

  explicit SoundOptionsDialog(QWidget* parent);
  ~SoundOptionsDialog() override;

  keypad::SpinnerList* TypeRow() const { return m_type; }
  keypad::SpinnerList* VolumeRow() const { return m_volume; }
  // 0 birthdays, 1 anniversaries, 2 other dates.
  keypad::SpinnerList* SoundRow(int kind) const { return m_kinds[static_cast<std::size_t>(kind)].sound; }
  keypad::LineField* FileField(int kind) const { return m_kinds[static_cast<std::size_t>(kind)].file; }

 protected:
  void OnCommand(int command) override;
  void OnScreenResized(const QSize& size) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool Save() override;

 private:
  struct KindRows {
    keypad::SpinnerList* sound = nullptr;
    QLabel* fileLabel = nullptr;
    keypad::LineField* file = nullptr;
  };

  void OnTypeChanged();
  void OnSoundChanged(KindRows& kind);
  void Preview(const KindRows& kind);
  void StopPreview();
  void Store(const KindRows& kind, std::uint32_t& source, std::u16string& file) const;

  const std::vector<platform::SoundFileInfo>& m_files;
  keypad::SpinnerList* m_type = nullptr;
  keypad::SpinnerList* m_volume = nullptr;
  std::array<KindRows, 3> m_kinds{};
};

// The sound files the options offer, gathered on first use and kept for the run.
const std::vector<platform::SoundFileInfo>& OfferedSoundFiles();

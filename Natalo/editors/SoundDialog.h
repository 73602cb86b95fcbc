#pragma once
// The entry's own reminder sound: program settings or its own sound type,
// volume and sound (the program's default, the system alarm, a file of the
// user's choice or one of the desktop's sound files). Choosing a sound plays
// a preview through the sound event "QV_FESK_Sample".
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sound/SoundFileList.h"
#include "platform/ui/FullScreenDialog.h"

class FeskItem;
class QLabel;
namespace keypad {
class LineField;
class SpinnerList;
}  // namespace keypad

// The sound files to offer: the longer of the two lists first (the ring-tone
// list when both are as long), without unplayable files, then the files of
// the other list that are not in it yet; all but the first sorted by display
// name ignoring case.
std::vector<platform::SoundFileInfo> MergeSoundFileLists(const std::vector<platform::SoundFileInfo>& ringTones,
                                                         const std::vector<platform::SoundFileInfo>& alarms);

// Plays `path` at `volume` (1-based) through the sound event "QV_FESK_Sample",
// writing the event's registry values first.
void PlaySoundSample(const std::u16string& path, std::uint32_t volume, const QWidget* window);

class SoundDialog : public keypad::FullScreenDialog {
  Q_OBJECT

 public:
  // Items of the sound row before the listed files.
  enum SoundItem { kProgramDefault = 0, kSystemAlarm = 1, kCustomFile = 2, kFirstListed = 3 };
  static constexpr int kFileLimit = 259;

  SoundDialog(FeskItem& entry, QWidget* parent);
  ~SoundDialog() override;

  keypad::SpinnerList* SettingsRow() const { return m_config; }
  keypad::SpinnerList* TypeRow() const { return m_type; }
  keypad::SpinnerList* VolumeRow() const { return m_volume; }
  keypad::SpinnerList* SoundRow() const { return m_sound; }
  keypad::LineField* FileField() const { return m_file; }
  bool FileRowShown() const;
  // The path the preview of the current sound item plays.
  std::u16string PreviewPath() const;

 protected:
  void OnCommand(int command) override;
  void OnScreenResized(const QSize& size) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void UpdateEnabled();
  void OnConfigChanged();
  void OnTypeChanged();
  void OnSoundChanged();
  void Preview();
  void StopPreview();
  void Save();
  int AlarmVolumeIndex(int fallback) const;

  FeskItem& m_entry;
  std::vector<platform::SoundFileInfo> m_files;
  keypad::SpinnerList* m_config = nullptr;
  keypad::SpinnerList* m_type = nullptr;
  keypad::SpinnerList* m_volume = nullptr;
  keypad::SpinnerList* m_sound = nullptr;
  QLabel* m_fileLabel = nullptr;
  keypad::LineField* m_file = nullptr;
};

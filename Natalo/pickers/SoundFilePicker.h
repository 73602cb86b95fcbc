#pragma once
// The sound-file picker: one folder at a time, its sub-folders first and then
// its sound files, each group by name ignoring case; hidden entries (names
// starting with ".") are left out. Right, Done or activation enter a folder or
// choose a file; Left and Back go up (Back in the root cancels). The folder is
// kept for the process, so the picker opens where it was left; the first time
// without a file it opens in FirstSoundFolder().
#include <string>
#include <vector>

class QWidget;
namespace keypad {
class LineField;
}

struct SoundFolderEntry {
  std::string name;
  bool isFolder = false;
};

// Whether the name ends in one of the accepted sound extensions, in any case.
bool IsSoundFileName(const std::string& name);
// The entries of `folder` to offer, sorted; empty when it cannot be read.
std::vector<SoundFolderEntry> ListSoundFolder(const std::string& folder);
// The folder above `folder` (both ending in "/"); the root stays the root.
std::string ParentFolder(const std::string& folder);

// The current folder of the picker, always ending in "/"; empty until the
// picker first opens.
std::string& SoundPickerFolder();

// The first of these folders that exists, ending in "/": the user's own sounds
// ($XDG_DATA_HOME/Natalo/sounds), the music folder, the home folder; else "/".
std::string FirstSoundFolder();

// Runs the picker over `owner` starting from the path in `pathField` (its
// folder, when that exists, becomes the current one; its file is selected). 1
// with the chosen path in the field, 2 when cancelled (the field unchanged).
int SelectSoundFile(QWidget* owner, keypad::LineField& pathField);

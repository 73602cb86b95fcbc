#pragma once
// Where the contacts folder is.
//
// The string value "ContactsFolder" under HKEY_CURRENT_USER\Software\Quorvex\Natalo
// names it (a leading "~/" stands for the home folder). Without that value it is
// $XDG_DATA_HOME/Natalo/contacts ($HOME/.local/share when XDG_DATA_HOME is not
// set). To use an address book kept by a synchroniser, set the value to its
// folder (for example ~/.contacts): its sub-folders are read too.
#include <string>

namespace platform {

inline constexpr char16_t CONTACTS_FOLDER_KEY[] = u"Software\\Quorvex\\Natalo";
inline constexpr char16_t CONTACTS_FOLDER_VALUE[] = u"ContactsFolder";

std::string GetContactsFolderPath();

}  // namespace platform

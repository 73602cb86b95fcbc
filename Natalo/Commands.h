#pragma once
// Command numbers of the main window's menus and of the commands it sends itself.
namespace cmd {

// Action menu (left soft key)
inline constexpr int kNewBirthday = 32787;
inline constexpr int kNewAnniversary = 32794;
inline constexpr int kNewOtherDate = 32783;
inline constexpr int kEdit = 32786;
inline constexpr int kViewNote = 32802;
inline constexpr int kDelete = 32785;
inline constexpr int kDisableActivate = 32771;
inline constexpr int kSkipNext = 32798;
inline constexpr int kSetIcon = 32803;
inline constexpr int kSetReminder = 32805;
inline constexpr int kSetSound = 32804;

// General menu (right soft key)
inline constexpr int kShowBirthdays = 32791;
inline constexpr int kShowAnniversaries = 32792;
inline constexpr int kShowOtherDates = 32793;
inline constexpr int kShowStars = 32801;
inline constexpr int kSortByOccurrence = 32797;
inline constexpr int kSortByDayOfYear = 32774;
inline constexpr int kSortByAge = 32777;
inline constexpr int kSortByType = 32775;
inline constexpr int kSortByName = 32776;
inline constexpr int kSortByIcon = 32778;  // no menu item
inline constexpr int kSortAscending = 32795;
inline constexpr int kSortDescending = 32796;
inline constexpr int kScanContacts = 32772;
inline constexpr int kSettings = 32789;
inline constexpr int kAbout = 32781;
inline constexpr int kHelp = 32782;
inline constexpr int kExit = 32780;

// Sent by the list and the synchronisation with the reminder utility
inline constexpr int kRefreshList = 32799;
inline constexpr int kUpdateMenu = 32800;

// The sort commands by sort key 0..5.
inline constexpr int kSortCommands[6] = {kSortByOccurrence, kSortByDayOfYear, kSortByAge,
                                         kSortByType,       kSortByName,      kSortByIcon};

}  // namespace cmd

#pragma once
// The contact chooser: a full-screen list of the contacts of a contact store,
// by display name in the name-order setting, sorted; typing narrows the list to
// the names that contain the typed text. Done or the action key chooses.
#include <QStringList>

#include <cstdint>
#include <string>
#include <vector>

class QWidget;
namespace platform {
class ContactStore;
}

struct ContactChoice {
  QString name;
  std::uint32_t oid = 0;
};

// The contacts with a name to show, sorted by that name ignoring case.
std::vector<ContactChoice> ListContactChoices(const platform::ContactStore& store);

// 1 with `oid` set to the chosen contact's object id; 2 when cancelled or when
// there was nothing to choose (`oid` unchanged).
int RunContactChooser(const platform::ContactStore& store, std::uint32_t& oid, QWidget* parent);

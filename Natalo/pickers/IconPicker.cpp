#include "Natalo/pickers/IconPicker.h"

#include <QPixmap>

#include "Natalo/AppText.h"
#include "Natalo/DialogKeys.h"
#include "platform/ui/DialogHost.h"
#include "platform/imaging/IconLibrary.h"
#include "platform/pictures/IconTable.h"
#include "platform/ui/FullScreenDialog.h"
#include "platform/ui/PictureList.h"
#include "platform/ui/SoftKeyBar.h"

namespace {

class IconPicker : public keypad::FullScreenDialog {
 public:
  IconPicker(std::uint32_t current, QWidget* parent) : FullScreenDialog(keypad::DialogHost(parent)) {
    const LocalTable& t = LocalText();
    SetTitle(ToQString(t.Get(u"DLG_ICONSELECT_HEADERTEXT")));
    SetDoneCancelKeys(SoftKeys());
    m_grid = new keypad::PictureGrid;
    for (const IconTableRow& row : IconTable) {
      const QImage* picture = GetIconBitmapSmall(row.dwNumber);
      m_grid->AddRow(picture ? QIcon(QPixmap::fromImage(*picture)) : QIcon(), {}, row.dwNumber);
    }
    ContentLayout()->addWidget(m_grid);
    m_grid->SelectRow(static_cast<int>(FindIconRow(current)));
    connect(m_grid, &QListWidget::itemActivated, this, [this] { OnCommand(keypad::kResultDone); });
  }

  std::uint32_t Chosen() const { return m_grid->RowData(m_grid->currentRow()).toUInt(); }

 protected:
  void OnCommand(int command) override {
    Done(command == keypad::kResultDone && m_grid->currentRow() >= 0 ? keypad::kResultDone : keypad::kResultCancel);
  }

 private:
  keypad::PictureGrid* m_grid = nullptr;
};

}  // namespace

int SelectIcon(QWidget* parent, std::uint32_t& number) {
  IconPicker picker(number, parent);
  if (picker.Exec() != keypad::kResultDone) return keypad::kResultCancel;
  number = picker.Chosen();
  return keypad::kResultDone;
}

// The quick buttons under the chat: fifteen macros, each an image in the buttons' skin and a label
// with its number; both send the macro.
#include "ui/click_label.h"
#include "ui/main_window.h"
#include "ui/owned.h"

namespace tc::ui {

namespace {

constexpr int kStripTop = 308;
constexpr int kCellWidth = 29;
constexpr int kImageWidth = 12;
constexpr int kHeight = 22;

}  // namespace

void MainWindow::BuildQuickButtons(QWidget* page) {
  for (int n = 1; n <= Macros::kCount; ++n) {
    const int x = (n - 1) * kCellWidth;
    const QString number = QString::number(n);
    SkinButton* image = MakeButton(page, QStringLiteral("Quick_Image") + number, QString(),
                                   {x, kStripTop + 2, kImageWidth, kHeight - 4});
    const auto run = [this, n] { Call([n](Client& c) { c.RunMacro(n); }); };
    connect(image, &QAbstractButton::clicked, this, run);
    QLabel* label = Owned<ClickLabel>(number, page, run);
    label->setObjectName(QStringLiteral("Quick_Label") + number);
    label->setGeometry(x + kImageWidth + 1, kStripTop, kCellWidth - kImageWidth - 2, kHeight);
    label->setStyleSheet(QStringLiteral("color: #C0C0C0;"));
    quick_images_[static_cast<size_t>(n - 1)] = image;
    quick_labels_[static_cast<size_t>(n - 1)] = label;
  }
}

}  // namespace tc::ui

#include "app/AboutDlg.h"

#include <QIcon>

#include "ui_AboutDlg.h"

namespace printdeck {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::CAboutDlg>()) {
    m_ui->setupUi(this);
    const QIcon icon(QStringLiteral(":/printdeck.svg"));
    m_ui->iconLabel->setPixmap(icon.pixmap(48, 48));
    m_ui->nameLabel->setText(QStringLiteral("Printdeck %1").arg(QStringLiteral(PRINTDECK_VERSION)));
}

CAboutDlg::~CAboutDlg() = default;

}  // namespace printdeck

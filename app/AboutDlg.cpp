#include "app/AboutDlg.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/AppDirectory.h"
#include "app/ContextHelp.h"
#include "app/InstalledFiles.h"
#include "platform/Controls.h"
#include "platform/ShellOpen.h"

// The banner lives in the GUI library's resources, which a static library must load by name.
// Q_INIT_RESOURCE must not be used inside a namespace.
static void InitResources() {
  Q_INIT_RESOURCE(orvanta);
}

namespace {

constexpr int IDC_OPEN_MANUAL = 2;
constexpr int IDC_VISIT_WEBSITE = 3;
constexpr int IDC_HELP = 4;

QLabel* MakeCentredText(const char* text, QWidget* parent) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : CDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setWindowTitle(QString::fromUtf8(kAboutCaption));
  InitResources();

  auto* logo = new QLabel(this);
  logo->setPixmap(QPixmap(QStringLiteral(":/images/orvanta-banner.png")));
  logo->setAlignment(Qt::AlignCenter);
  logo->setAccessibleName(QStringLiteral("Orvanta"));
  logo->setAccessibleDescription(QStringLiteral("Product banner"));
  auto* line = new QFrame(this);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);

  // Created in tab order: OK, Open Manual, Visit Website, Help.
  auto* ok = MakeControl<QPushButton>("OK", IDOK, this);
  auto* manual = MakeControl<QPushButton>("Open Manual", IDC_OPEN_MANUAL, this);
  auto* website = MakeControl<QPushButton>("Visit Website", IDC_VISIT_WEBSITE, this);
  auto* help = MakeControl<QPushButton>("Help", IDC_HELP, this);
  ok->setDefault(true);

  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {website, manual, help}) buttons->addWidget(button);
  buttons->addStretch();
  buttons->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(logo);
  layout->addWidget(MakeCentredText(kAboutVersionText, this));
  layout->addWidget(MakeCentredText(kAboutCredits, this));
  layout->addWidget(line);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  QWidget::setTabOrder(ok, manual);
  QWidget::setTabOrder(manual, website);
  QWidget::setTabOrder(website, help);

  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(manual, &QPushButton::clicked, this, &CAboutDlg::DisplayManual);
  connect(website, &QPushButton::clicked, this, &CAboutDlg::OpenWebsite);
  connect(help, &QPushButton::clicked, this, &CAboutDlg::DisplayHelpFile);
}

bool CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  GetDlgItem(IDOK)->setFocus();
  return true;
}

void CAboutDlg::DisplayManual() {
  if (const std::optional<std::filesystem::path> manual = FindDocument(kManualFile)) {
    ShellOpen(manual->string());
  }
}

void CAboutDlg::OpenWebsite() {
  ShellOpen(kWebsiteAddress);
}

void CAboutDlg::DisplayHelpFile() {
  OpenHelpFile(this);
}

void CAboutDlg::reject() {
  DisplayManual();
}

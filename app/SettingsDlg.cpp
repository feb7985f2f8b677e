#include "app/SettingsDlg.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>
#include <QValidator>
#include <algorithm>
#include <fstream>

#include "app/AppDirectory.h"
#include "app/ConnectionSettings.h"
#include "app/ContextHelp.h"
#include "link/Communication.h"
#include "platform/Controls.h"
#include "platform/MessageBox.h"
#include "platform/RadioGroup.h"
#include "platform/Text.h"
#include "platform/UsbCable.h"

namespace {

constexpr HelpTopic kSettingsHelp[] = {
    {IDC_LPT1, 1}, {IDC_LPT2, 2}, {IDC_CUSTOM, 3}, {IDC_CUSTOM_ADDRESS, 4},
    {IDOK, 5},     {IDCANCEL, 6}, {IDC_USB, 7},    {IDC_USB_CABLE, 8},
};
constexpr const char* kSettingsTopics = "SettingsDialog.txt";

constexpr const char* kIntroText =
    "Select the port you wish to use to connect to your board. If you use a non-standard "
    "address, you can enter the Hex address in the text box.";

// The widest text the custom-address box holds: a four-digit address with its prefix, as the
// box of the original layout held about six characters.
constexpr const char* kAddressWidthSample = "0XDDDD";

// The custom-address box. Letters the user enters become capitals, while the file's word is shown
// as it stands; the box takes only what it can show (it never scrolls) and what the file can hold
// (Latin-1).
class AddressEdit final : public QLineEdit {
 public:
  explicit AddressEdit(QWidget* parent) : QLineEdit(parent) { setValidator(new Validator(this)); }

 protected:
  // What the user enters arrives through these events; the validator sees it while they run.
  bool event(QEvent* e) override {
    const bool entry = IsEntry(e->type());
    if (entry) before_ = text();
    entering_ += entry ? 1 : 0;
    const bool handled = QLineEdit::event(e);
    entering_ -= entry ? 1 : 0;
    return handled;
  }

 private:
  class Validator final : public QValidator {
   public:
    explicit Validator(AddressEdit* edit) : QValidator(edit), edit_(edit) {}
    State validate(QString& input, int& pos) const override {
      if (edit_->entering_ > 0) input = edit_->WithEnteredCapitals(input, pos);
      const bool latin1 =
          std::all_of(input.begin(), input.end(), [](QChar c) { return c.unicode() <= 0xFF; });
      return latin1 && edit_->fontMetrics().horizontalAdvance(input) <= edit_->Room() ? Acceptable
                                                                                      : Invalid;
    }

   private:
    AddressEdit* edit_;
  };

  static bool IsEntry(QEvent::Type type) {
    return type == QEvent::KeyPress || type == QEvent::InputMethod || type == QEvent::Drop ||
           type == QEvent::MouseButtonRelease || type == QEvent::ContextMenu;
  }
  // `now` with what was just entered before `pos` in capitals: the characters between what is
  // left of the text before at the start and what follows the cursor.
  QString WithEnteredCapitals(const QString& now, int& pos) const {
    const qsizetype tail = now.size() - pos;
    const qsizetype limit = std::min<qsizetype>(pos, before_.size() - tail);
    qsizetype head = 0;
    while (head < limit && before_[head] == now[head]) ++head;
    const QString entered = now.mid(head, pos - head).toUpper();
    pos = static_cast<int>(head + entered.size());
    return now.left(head) + entered + now.mid(now.size() - tail);
  }
  int Room() const {
    const QMargins margins = textMargins();
    // QLineEdit keeps two pixels free on each side of its text.
    return contentsRect().width() - margins.left() - margins.right() - 4;
  }

  QString before_;
  int entering_ = 0;
};

QString SaveFailedText(const QString& why) {
  return QStringLiteral(
             "The port choice could not be saved %1\n\nIt is used until you close "
             "the program.")
      .arg(why);
}

}  // namespace

CSettingsDlg::CSettingsDlg(QWidget* parent) : CDialog(parent) {
  // Modal frame with a caption and a close box, no minimise box.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setWindowTitle(QString::fromUtf8(kConnSettingsCaption));
  BuildControls();
}

CSettingsDlg::~CSettingsDlg() = default;

void CSettingsDlg::BuildControls() {
  // Created in tab order: Cancel, the three choices, the address box, Save.
  auto* cancel = MakeControl<QPushButton>("Cancel", IDCANCEL, this);
  auto* group = new QGroupBox(QStringLiteral("Parallel Port:"), this);
  auto* lpt1 = MakeControl<QRadioButton>("LPT1 (Port Address 0x378)", IDC_LPT1, group);
  auto* lpt2 = MakeControl<QRadioButton>("LPT2 (Port Address 0x278)", IDC_LPT2, group);
  auto* custom = MakeControl<QRadioButton>("Custom Address:", IDC_CUSTOM, group);
  auto* usb = MakeControl<QRadioButton>(kUsbCableLabel, IDC_USB, group);
  auto* address = new AddressEdit(group);
  SetControlId(address, IDC_CUSTOM_ADDRESS);
  m_UsbCables = new QComboBox(group);
  SetControlId(m_UsbCables, IDC_USB_CABLE);
  // Read out as its chosen item after this label, as the main window's lists are.
  auto* cableLabel = new QLabel(QStringLiteral("Cable:"), group);
  cableLabel->setBuddy(m_UsbCables);
  auto* save = MakeControl<QPushButton>("Save", IDOK, this);
  save->setDefault(true);

  auto* intro = new QLabel(QString::fromUtf8(kIntroText), group);
  intro->setWordWrap(true);
  auto* prefix = new QLabel(QStringLiteral("0x"), group);
  prefix->setBuddy(address);
  address->setFixedWidth(
      address->fontMetrics().horizontalAdvance(QString::fromLatin1(kAddressWidthSample)) +
      2 * address->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 6);
  address->setAccessibleName(QStringLiteral("Custom Address:"));
  address->setAccessibleDescription(QStringLiteral("Hexadecimal port address"));
  m_UsbLine = new QLabel(this);
  m_UsbLine->setTextFormat(Qt::PlainText);
  m_PortsLine = new QLabel(this);
  m_PortsLine->setTextFormat(Qt::PlainText);

  auto* customRow = new QHBoxLayout;
  customRow->addWidget(custom);
  customRow->addWidget(prefix);
  customRow->addWidget(address);
  customRow->addStretch();
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(intro);
  groupLayout->addWidget(lpt1);
  groupLayout->addWidget(lpt2);
  groupLayout->addLayout(customRow);
  groupLayout->addWidget(usb);
  // The cable list under its choice, indented as far as the choice's text.
  auto* usbRow = new QHBoxLayout;
  usbRow->addSpacing(usb->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                     usb->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing));
  usbRow->addWidget(cableLabel);
  usbRow->addWidget(m_UsbCables, 1);
  groupLayout->addLayout(usbRow);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(save);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(m_PortsLine);
  layout->addWidget(m_UsbLine);
  layout->addLayout(buttons);
  // The description wraps at this width instead of stretching the dialog to one long line.
  group->setFixedWidth(fontMetrics().averageCharWidth() * 186 / 4);
  // Cable names can be long: they wrap at the same width.
  m_UsbLine->setWordWrap(true);
  m_UsbLine->setFixedWidth(group->width());
  layout->setSizeConstraint(QLayout::SetFixedSize);

  QWidget::setTabOrder(cancel, lpt1);
  QWidget::setTabOrder(lpt1, lpt2);
  QWidget::setTabOrder(lpt2, custom);
  QWidget::setTabOrder(custom, address);
  QWidget::setTabOrder(address, usb);
  QWidget::setTabOrder(usb, m_UsbCables);
  QWidget::setTabOrder(m_UsbCables, save);

  MakeRadioGroup(this, {lpt1, lpt2, custom, usb});
  for (QRadioButton* button : {lpt1, lpt2, custom, usb}) {
    connect(button, &QRadioButton::clicked, this, &CSettingsDlg::UpdatePortValue);
  }
  connect(save, &QPushButton::clicked, this, &CSettingsDlg::OnOK);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  RouteContextMenusToDialog(this, kSettingsHelp);
  // The help key of the application, as in the main dialog.
  connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
          [this] { OpenHelpFile(this); });
}

void CSettingsDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_LPT1, m_PortChoice);
  DDX_Text(pDX, IDC_CUSTOM_ADDRESS, m_CustomAddress);
}

void CSettingsDlg::Read_From_File() {
  const std::optional<std::filesystem::path> file = AppFile(kConnSettingsFile);
  const std::optional<std::string> token = file ? ReadConnectionFile(*file) : std::nullopt;
  if (!token) {
    base = kLpt1Base;
    bUsbCable = 0;
    return;
  }
  UseConnectionToken(*token);
  // An overlong token is nobody's address: it is not offered for editing either.
  m_CustomAddress = token->size() > kMaxTokenLength ? QString() : QString::fromLatin1(*token);
}

bool CSettingsDlg::OnInitDialog() {
  Read_From_File();
  // A choice that could not be saved is still the one in use, whatever the file says.
  if (unsavedPortChoice) {
    bUsbCable = unsavedPortChoice->usb ? 1 : 0;
    if (!unsavedPortChoice->usb) base = unsavedPortChoice->address;
    m_CustomAddress = QString::fromLatin1(unsavedPortChoice->token);
  }
  CDialog::OnInitDialog();
  const int choice = bUsbCable != 0 ? kChoiceUsb : ChoiceForBase(base);
  SetCheckedIndex(*GetDlgItemAs<QAbstractButton>(IDC_LPT1)->group(), choice);
  UpdatePortValue();
  if (choice == kChoiceCustom) {
    m_CustomAddress = GetDlgItemText(IDC_CUSTOM_ADDRESS);
  } else {
    m_CustomAddress.clear();
    SetDlgItemText(IDC_CUSTOM_ADDRESS, QString());
  }
  m_PortsLine->setText(
      QString::fromStdString(DescribeParallelPorts(ListParallelPorts(m_ParportDir))));
  const std::vector<UsbDeviceInfo> cables = ListUsbCables();
  m_UsbLine->setText(QString::fromStdString(DescribeUsbDevices(cables)));
  m_UsbSerial = unsavedPortChoice ? unsavedPortChoice->serial : usbCableSerial;
  FillUsbCables(cables);
  GetDlgItem(IDCANCEL)->setFocus();
  return true;
}

void CSettingsDlg::UpdatePortValue() {
  EnableDlgItem(IDC_CUSTOM_ADDRESS, IsDlgButtonChecked(IDC_CUSTOM));
  EnableDlgItem(IDC_USB_CABLE, IsDlgButtonChecked(IDC_USB));
}

void CSettingsDlg::FillUsbCables(const std::vector<UsbDeviceInfo>& cables) {
  m_UsbCables->clear();
  m_UsbCables->addItem(QString::fromUtf8(kFirstUsbCableItem), QString());
  bool chosenIsPlugged = m_UsbSerial.empty();
  for (const UsbDeviceInfo& cable : cables) {
    // Only a serial number the settings file can hold as one word can be chosen.
    const bool usable = !cable.serial.empty() &&
                        UsbTokenFor(cable.serial).size() <= kMaxTokenLength &&
                        std::none_of(cable.serial.begin(), cable.serial.end(), IsBlank);
    if (!usable) continue;
    const std::string name = cable.description.empty() ? "FT232R" : cable.description;
    m_UsbCables->addItem(QString::fromStdString(name + " (" + cable.serial + ")"),
                         QString::fromStdString(cable.serial));
    chosenIsPlugged |= cable.serial == m_UsbSerial;
  }
  if (!chosenIsPlugged) {
    m_UsbCables->addItem(QString::fromStdString(m_UsbSerial + " (not plugged in)"),
                         QString::fromStdString(m_UsbSerial));
  }
  m_UsbCables->setCurrentIndex(
      std::max(0, m_UsbCables->findData(QString::fromStdString(m_UsbSerial))));
}

void CSettingsDlg::OnOK() {
  UpdateData(true);
  m_UsbSerial = m_UsbCables->currentData().toString().toStdString();
  const SavedChoice saved =
      ChoiceToSave(m_PortChoice, m_CustomAddress.toLatin1().toStdString(), m_UsbSerial);
  QString why;
  if (const std::optional<std::filesystem::path> file = AppFile(kConnSettingsFile)) {
    // Written beside the old file and renamed over it, so a failure never leaves half a file; in
    // place where the folder takes no new file. The flush first: a commit after a write the disk
    // refused in part would still replace the file.
    QSaveFile out(PathToQt(file->string()));
    out.setDirectWriteFallback(true);
    const QByteArray bytes = QByteArray::fromStdString(saved.token);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush() ||
        !out.commit()) {
      // Windows' words for the reason end in a full stop, Linux's do not; the sentence has one.
      QString reason = out.errorString();
      if (reason.endsWith(QLatin1Char('.'))) reason.chop(1);
      why = QStringLiteral("in \"%1\": %2.").arg(QString::fromStdString(file->string()), reason);
    }
  } else {
    why = QStringLiteral("because the program's working directory could not be read.");
  }
  // The USB cable leaves `base` as it was: the parallel-port choice comes back with it.
  if (!saved.usb) base = saved.address;
  bUsbCable = saved.usb ? 1 : 0;
  if (saved.usb) usbCableSerial = saved.serial;
  unsavedPortChoice = why.isEmpty() ? std::nullopt : std::optional<SavedChoice>(saved);
  if (!why.isEmpty()) {
    ShowMessageBox(SaveFailedText(why).toStdString(), kSaveConnFailedTitle, MsgIcon::Stop);
  }
  done(QDialog::Rejected);
}

void CSettingsDlg::contextMenuEvent(QContextMenuEvent* event) {
  QWidget* source = ContextMenuSource(this, *event);
  OnContextMenu(source, ContextMenuPoint(source, *event));
}

void CSettingsDlg::OnContextMenu(QWidget* pWnd, QPoint point) {
  if (pWnd == this) return;
  ShowContextHelp(pWnd, point, kSettingsTopics, kSettingsHelp);
}

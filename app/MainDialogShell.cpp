// Members of the main dialog that belong to the application shell: the application directory,
// the start-up read of the connection settings, the "Connection..." command, help and the about
// box.
#include <QContextMenuEvent>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QShortcut>
#include <memory>

#include "app/AboutDlg.h"
#include "app/AppDirectory.h"
#include "app/ContextHelp.h"
#include "app/SettingsDlg.h"
#include "platform/Controls.h"
#include "ui/OrvantaAppDlg.h"

namespace {

// The window-menu command that opens the about box; the low four bits do not count.
constexpr unsigned IDM_ABOUTBOX = 0x0010;
constexpr const char* kAboutEntryName = "About Orvanta...";

constexpr HelpTopic kMainHelp[] = {
    {IDC_OM_STANDARD, 1},
    {IDC_OM_TEST, 2},
    {IDC_FIRING_MODE_COMBO, 3},
    {IDC_ROF_COMBO, 4},
    {IDC_DEBOUNCE_EDIT, 5},
    {IDC_DEBOUNCE_SPIN, 5},
    {IDC_DWELL_EDIT, 6},
    {IDC_DWELL_SPIN, 6},
    {IDC_PRESET_CONSERVATIVE, 7},
    {IDC_PRESET_NORMAL, 8},
    {IDC_PRESET_FAST, 9},
    {IDC_PRESET_EXTREME, 10},
    {IDC_AE_BYPASS_EYE, 11},
    {IDC_AE_DELAY, 13},
    {IDC_AEDELAY_EDIT, 14},
    {IDC_AEDELAY_SPIN, 14},
    {IDC_KOVAL_A, 15},
    {IDC_KOVAL_B, 16},
    {IDC_ET_DROP, 17},
    {IDC_ET_FIRE, 18},
    {IDC_TIMER_INIT_COMBO, 19},
    {IDC_TIMER_MINUTES_EDIT, 20},
    {IDC_TIMER_MINUTES_SPIN, 20},
    {IDC_TIMER_SECONDS_EDIT, 21},
    {IDC_TIMER_SECONDS_SPIN, 21},
    {IDC_TIMER_COUNTS_DOWN, 22},
    {IDC_TIMER_COUNTS_UP, 23},
    {IDC_SECTION1_COMBO, 25},
    {IDC_SECTION1B_COMBO, 26},
    {IDC_SECTION2_COMBO, 27},
    {IDC_SECTION2B_COMBO, 28},
    {IDC_SAVE_CONFIG, 29},
    {IDC_OPEN_CONFIG, 30},
    {IDC_UPLOAD, 31},
    {IDC_DOWNLOAD, 32},
    {IDC_CONNECTION, 33},
    {IDC_UPDATE_FIRMWARE, 34},
    {IDC_AE_BYPASS_ROF_COMBO, 36},
    {IDC_LCD_MENU_TREE, 37},
    {IDCANCEL, 38},
    {IDC_BANNER, 39},
};
constexpr const char* kMainTopics = "OrvantaDialog.txt";

}  // namespace

void COrvantaAppDlg::GetAppDirectory() {
  DetermineAppDirectory();
}

void COrvantaAppDlg::ReadConnectionSettings() {
  // A settings dialog that is never shown reads the file and sets the port.
  CSettingsDlg settings;
  settings.Read_From_File();
}

void COrvantaAppDlg::DisplaySettingsDialog() {
  CSettingsDlg settings(this);
  settings.DoModal();
}

void COrvantaAppDlg::AddAboutEntry() {
  // The window manager's own menu cannot be extended from Qt on Linux, so the banner becomes the
  // about entry: a flat button that mouse, keyboard and screen readers all reach.
  auto* banner = GetDlgItemAs<QLabel>(IDC_BANNER);
  if (banner != nullptr) {
    auto* entry = new QPushButton(this);
    entry->setFlat(true);
    entry->setAutoDefault(false);  // Enter never presses a button of the main dialog
    entry->setIcon(QIcon(banner->pixmap()));
    entry->setIconSize(banner->pixmap().deviceIndependentSize().toSize());
    entry->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    entry->setAccessibleName(QString::fromLatin1(kAboutEntryName));
    entry->setAccessibleDescription(banner->accessibleDescription());
    entry->setToolTip(QString::fromLatin1(kAboutEntryName));
    SetControlId(entry, IDC_BANNER);
    const std::unique_ptr<QLayoutItem> replaced(layout()->replaceWidget(banner, entry));
    layout()->setAlignment(entry, Qt::AlignRight | Qt::AlignVCenter);
    const std::unique_ptr<QLabel> gone(banner);
    connect(entry, &QPushButton::clicked, this, [this] { OnSysCommand(IDM_ABOUTBOX, 0); });
  }
  auto* helpKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(helpKey, &QShortcut::activated, this, [this] { OnHelpInfo(); });
  RouteContextMenusToDialog(this, kMainHelp);
}

void COrvantaAppDlg::OnSysCommand(unsigned nID, long /*lParam*/) {
  // Every other window command is the window manager's own business.
  if ((nID & 0xFFF0) != IDM_ABOUTBOX) return;
  CAboutDlg about(this);
  about.DoModal();
}

bool COrvantaAppDlg::OnHelpInfo() {
  OpenHelpFile(this);
  return true;
}

void COrvantaAppDlg::contextMenuEvent(QContextMenuEvent* event) {
  QWidget* source = ContextMenuSource(this, *event);
  OnContextMenu(source, ContextMenuPoint(source, *event));
}

void COrvantaAppDlg::OnContextMenu(QWidget* pWnd, QPoint point) {
  if (pWnd == this) return;
  ShowContextHelp(pWnd, point, kMainTopics, kMainHelp);
}

// Painting the minimised window and dragging its icon are the window manager's work on Linux: it
// draws the icon that OnInitDialog sets with setWindowIcon, so the dialog has no handler for them.

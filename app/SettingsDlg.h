// The connection settings dialog: which parallel port the programming cable hangs on (LPT1, LPT2
// or a typed hexadecimal address), kept in ConnSettings.dat in the application directory and
// applied to `base`, or the USB cable (FT232R). Below the choices it names the ports this computer
// has and the FT232R cables plugged in.
#pragma once

#include <QString>
#include <string>

#include "platform/Dialog.h"
#include "platform/ParallelPorts.h"
#include "platform/UsbBitBang.h"

class QComboBox;
class QContextMenuEvent;
class QLabel;

// Control IDs of the connection settings dialog.
enum : int {
  IDC_LPT1 = 1046,
  IDC_CUSTOM = 1047,
  IDC_CUSTOM_ADDRESS = 1048,
  IDC_LPT2 = 1049,
  IDC_USB = 1050,
  IDC_USB_CABLE = 1051,
};

inline constexpr const char* kUsbCableLabel = "USB cable (FT232R)";
// The USB cable list's first item: whichever FT232R is found first at each board run.
inline constexpr const char* kFirstUsbCableItem = "The first one found";
inline constexpr const char* kConnSettingsCaption = "Connection Settings";
inline constexpr const char* kSaveConnFailedTitle = "Save Connection Settings Failed";

class CSettingsDlg : public CDialog {
  Q_OBJECT

 public:
  explicit CSettingsDlg(QWidget* parent = nullptr);
  ~CSettingsDlg() override;

  // Reads ConnSettings.dat: sets `base` when it holds a usable address (0x378 when there is no
  // file) and keeps the token in m_CustomAddress.
  void Read_From_File();
  // Reads the file (a choice that could not be saved counts over it), then checks the choice
  // that shows `base`. Focus starts on "Cancel".
  bool OnInitDialog() override;
  // The custom-address box is enabled exactly when "Custom Address:" is checked, the USB cable
  // list when "USB cable (FT232R)" is.
  void UpdatePortValue();
  // Save: writes the file atomically, sets `base` and closes. When the file cannot be written,
  // `base` still changes for this run and a message says why the choice was not kept.
  void OnOK();
  // Pop-up help for `pWnd`, unless the request came from the dialog itself.
  void OnContextMenu(QWidget* pWnd, QPoint point);

  QString m_CustomAddress;
  int m_PortChoice = -1;
  // The USB cable chosen by its serial number; empty for the first one found.
  std::string m_UsbSerial;
  // Where the kernel lists the parallel ports; tests point it elsewhere.
  std::string m_ParportDir = kParportProcDir;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void BuildControls();
  // The cable list: the first found, each FT232R plugged in with a serial number, and the one
  // chosen before when it is not plugged in now; `m_UsbSerial` selected.
  void FillUsbCables(const std::vector<UsbDeviceInfo>& cables);
  QLabel* m_PortsLine = nullptr;
  QComboBox* m_UsbCables = nullptr;
  QLabel* m_UsbLine = nullptr;
};

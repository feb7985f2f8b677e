// The about box: the product, its version and credits, and buttons that open the web site, the
// manual and the help file. Escape and the close box open the manual too; only OK closes it.
#pragma once

#include "platform/Dialog.h"

inline constexpr const char* kAboutCaption = "About Orvanta Interface Application...";
inline constexpr const char* kAboutVersionText = "Orvanta Interface Application Version 1.2";
inline constexpr const char* kAboutCredits =
    "Settings and firmware tool for Orvanta control boards.\n"
    "Made for players and shop technicians by Tarvelcorp.\n"
    "See \"Help\" and \"Open Manual\" for how to use it.";
// The maker's home page. A placeholder until the maker has a real address.
inline constexpr const char* kWebsiteAddress = "https://www.example.com/orvanta/";

class CAboutDlg : public CDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

  bool OnInitDialog() override;
  void DisplayManual();
  void OpenWebsite();
  void DisplayHelpFile();

 protected:
  // The cancel command is "Open Manual": Escape and the close box open the manual and keep the box.
  void reject() override;
};

// The tool's own help window: the pages of the help file, read from it as they are shown, with the
// file's table of contents beside them and Back and Forward. Not modal, one at a time. Linux
// desktops rarely have a viewer for the help file's format, so the tool shows it itself.
#pragma once

#include <QMetaObject>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>

#include "platform/HelpFile.h"

class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
struct HelpContentsEntry;

inline constexpr const char* kHelpWindowTitle = "Orvanta Interface Application Help";
// Pages inside the help file are addressed as "chm:/page.html", so that links between them resolve.
inline constexpr const char* kHelpScheme = "chm";

// A browser whose pages, images and style sheets come from the help file. Links that leave the help
// file (web addresses, mail) go to the desktop's opener instead.
class HelpBrowser : public QTextBrowser {
  Q_OBJECT

 public:
  HelpBrowser(HelpArchive archive, QWidget* parent);
  QVariant loadResource(int type, const QUrl& name) override;

 protected:
  void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;

 private:
  HelpArchive archive_;
};

class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  // Shows the help file the tool finds (application directory, then the installed data folder) at
  // its first page, or raises the window already open. `from` is the window asking: a dialog in
  // its modal run must not lock the help out. Silent when there is no help file.
  static void Show(QWidget* from);
  // The window open now, or nullptr.
  static HelpWindow* Current();

  QTreeWidget* Contents() const { return contents_; }
  HelpBrowser* Browser() const { return browser_; }
  QToolButton* BackButton() const { return back_; }
  QToolButton* ForwardButton() const { return forward_; }

 private:
  HelpWindow(HelpArchive archive, QWidget* owner);
  void FillContents(const HelpArchive& archive);
  void AddEntries(const std::vector<HelpContentsEntry>& entries, QTreeWidgetItem* parent);
  void OpenEntry(QTreeWidgetItem* item);
  void MarkEntry(const QUrl& page);
  // Makes `owner` the window the help stays with (and is closed with).
  void Adopt(QWidget* owner);
  void Bring();

  QTreeWidget* contents_ = nullptr;
  HelpBrowser* browser_ = nullptr;
  QToolButton* back_ = nullptr;
  QToolButton* forward_ = nullptr;
  QUrl firstPage_;
  bool marking_ = false;
  QMetaObject::Connection ownerFinished_;
};

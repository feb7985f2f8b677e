#include "app/HelpWindow.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/AppDirectory.h"
#include "app/InstalledFiles.h"
#include "platform/HelpContents.h"
#include "platform/ShellOpen.h"

namespace {

QPointer<HelpWindow> gHelpWindow;

constexpr int kPageRole = Qt::UserRole;

// The address of `local` (a page as the contents name it) inside the help file.
QUrl PageUrl(const std::string& local) {
  QString path = QString::fromStdString(local);
  while (path.startsWith(QLatin1Char('/'))) path.remove(0, 1);
  return QUrl(QString::fromLatin1(kHelpScheme) + QStringLiteral(":/")).resolved(QUrl(path));
}

QUrl WithoutFragment(const QUrl& url) {
  return url.adjusted(QUrl::RemoveFragment);
}

QToolButton* MakeNavigationButton(const QString& text, QStyle::StandardPixmap icon,
                                  QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setText(text);
  button->setIcon(parent->style()->standardIcon(icon));
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  button->setEnabled(false);
  return button;
}

}  // namespace

HelpBrowser::HelpBrowser(HelpArchive archive, QWidget* parent)
    : QTextBrowser(parent), archive_(std::move(archive)) {}

QVariant HelpBrowser::loadResource(int /*type*/, const QUrl& name) {
  const QUrl url = name.isRelative() ? source().resolved(name) : name;
  if (url.scheme() != QLatin1String(kHelpScheme)) return {};
  const std::optional<std::string> data = archive_.Read(url.path().toStdString());
  if (!data) return {};
  // Bytes, not text: the browser honours a page's own character set and decodes images itself.
  return QByteArray(data->data(), static_cast<qsizetype>(data->size()));
}

void HelpBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type) {
  const QUrl url = name.isRelative() ? source().resolved(name) : name;
  if (url.scheme() == QLatin1String(kHelpScheme)) {
    QTextBrowser::doSetSource(url, type);
    return;
  }
  // Only addresses the desktop can open; anything else (a local file named by a page) stays shut.
  if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https") ||
      url.scheme() == QLatin1String("mailto")) {
    ShellOpen(url.toString().toStdString());
  }
}

HelpWindow::HelpWindow(HelpArchive archive, QWidget* owner) : QWidget(owner, Qt::Window) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QString::fromUtf8(kHelpWindowTitle));

  back_ = MakeNavigationButton(QStringLiteral("Back"), QStyle::SP_ArrowBack, this);
  forward_ = MakeNavigationButton(QStringLiteral("Forward"), QStyle::SP_ArrowForward, this);
  auto* splitter = new QSplitter(this);
  contents_ = new QTreeWidget(splitter);
  contents_->setHeaderHidden(true);
  contents_->setAccessibleName(QStringLiteral("Contents"));
  FillContents(archive);
  browser_ = new HelpBrowser(std::move(archive), splitter);
  browser_->setAccessibleName(QStringLiteral("Help page"));
  splitter->addWidget(contents_);
  splitter->addWidget(browser_);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({300, 600});

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(back_);
  buttons->addWidget(forward_);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(splitter, 1);
  resize(900, 600);

  connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
  connect(browser_, &QTextBrowser::backwardAvailable, back_, &QWidget::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QWidget::setEnabled);
  connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::MarkEntry);
  connect(contents_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* item) { OpenEntry(item); });
  connect(contents_, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item) { OpenEntry(item); });

  browser_->setSource(firstPage_.isEmpty() ? PageUrl("index.html") : firstPage_);
  Adopt(owner);
}

void HelpWindow::FillContents(const HelpArchive& archive) {
  const std::optional<std::string> name = archive.ContentsName();
  const std::optional<std::string> hhc = name ? archive.Read(*name) : std::nullopt;
  if (!hhc) return;
  const std::vector<HelpContentsEntry> entries = ParseHelpContents(*hhc);
  AddEntries(entries, nullptr);
  // A flat list needs no room for branch marks.
  bool nested = false;
  for (const HelpContentsEntry& entry : entries) nested = nested || !entry.children.empty();
  contents_->setRootIsDecorated(nested);
  contents_->expandAll();
}

void HelpWindow::AddEntries(const std::vector<HelpContentsEntry>& entries,
                            QTreeWidgetItem* parent) {
  for (const HelpContentsEntry& entry : entries) {
    auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(contents_);
    item->setText(0, QString::fromStdString(entry.name.empty() ? entry.local : entry.name));
    if (!entry.local.empty()) {
      const QUrl page = PageUrl(entry.local);
      item->setData(0, kPageRole, page);
      if (firstPage_.isEmpty()) firstPage_ = page;
    }
    AddEntries(entry.children, item);
  }
}

void HelpWindow::OpenEntry(QTreeWidgetItem* item) {
  if (marking_ || item == nullptr) return;
  const QUrl page = item->data(0, kPageRole).toUrl();
  if (page.isValid() && !page.isEmpty() && page != browser_->source()) browser_->setSource(page);
}

// Keeps the contents showing where the page is, however it was reached (a link, Back).
void HelpWindow::MarkEntry(const QUrl& page) {
  const QUrl wanted = WithoutFragment(page);
  QTreeWidgetItem* match = nullptr;
  for (QTreeWidgetItemIterator it(contents_); *it != nullptr && match == nullptr; ++it) {
    if (WithoutFragment((*it)->data(0, kPageRole).toUrl()) == wanted) match = *it;
  }
  marking_ = true;
  contents_->setCurrentItem(match);
  marking_ = false;
}

void HelpWindow::Adopt(QWidget* owner) {
  if (owner != parentWidget()) {
    const QRect where = geometry();
    const bool shown = isVisible();
    setParent(owner, Qt::Window);
    if (shown) {
      setGeometry(where);
      show();
    }
  }
  // A modal dialog blocks every window but its own; when it ends, the help goes back to the
  // window below it, so that it is neither locked out nor closed with the dialog.
  disconnect(ownerFinished_);
  if (auto* dialog = qobject_cast<QDialog*>(owner)) {
    ownerFinished_ = connect(dialog, &QDialog::finished, this, [this, dialog] {
      QWidget* below = dialog->parentWidget();
      Adopt(below != nullptr ? below->window() : nullptr);
    });
  }
}

void HelpWindow::Bring() {
  show();
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

void HelpWindow::Show(QWidget* from) {
  QWidget* owner = from != nullptr ? from->window() : nullptr;
  if (gHelpWindow) {
    gHelpWindow->Adopt(owner);
    gHelpWindow->Bring();
    return;
  }
  const std::optional<std::filesystem::path> file = FindDocument(kHelpFile);
  if (!file) return;
  std::optional<HelpArchive> archive = HelpArchive::Open(file->string());
  if (!archive) return;
  gHelpWindow = new HelpWindow(std::move(*archive), owner);
  gHelpWindow->Bring();
}

HelpWindow* HelpWindow::Current() {
  return gHelpWindow.data();
}

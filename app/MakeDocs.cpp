// Build step: makes the help pages and the PDF manual from the guides in docs/guide/, each topic
// written once in Markdown and read with Qt's own Markdown reader. The guides are
// docs/guide/index.md and the pages it links to, in the order of its links.
//
//   orvanta_make_docs help SOURCE_DIR OUT_DIR
//     OUT_DIR gets a page NAME.html for each guide NAME.md, the images they show, the contents
//     (toc.hhc, each guide with its sections), the pop-up topic files (res/help/*.txt), the project
//     file Orvanta_Help.hhp that scripts/build-help compiles, and sources.sha256: each source with
//     its SHA-256, compiled into the help file so that a test can tell a help file older than its
//     sources.
//   orvanta_make_docs manual SOURCE_DIR OUTPUT.pdf VERSION
//     the guides one after another, each from a new page, under the manual's title.
//
// Links between the guides (cables.md#wiring) become links between the pages; any other relative
// link fails the build, since neither the help file nor the manual holds what it names. Headings
// get the anchors GitHub gives them, so the same links work on both.
//
// Run with QT_QPA_PLATFORM=offscreen, as the build machine has no display.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QUrl>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace {

constexpr const char* kGuideDir = "docs/guide";
constexpr const char* kTopicDir = "res/help";
// This program: a change to how pages are made makes the help file old too.
constexpr const char* kGenerator = "app/MakeDocs.cpp";
// The behaviour choices are kept in the README, every change there at once; their guide is that
// section, its headings one level up.
constexpr const char* kReadme = "README.md";
constexpr const char* kChoicesGuide = "behaviour";
constexpr const char* kChoicesHeading = "## Deliberate behaviour choices";
constexpr const char* kChoicesLink = "../../README.md#deliberate-behaviour-choices";
constexpr const char* kHelpTitle = "Orvanta Interface Application Help";
constexpr const char* kManualTitle = "Orvanta Interface Application — Manual";
constexpr const char* kSourcesFile = "sources.sha256";
// The widest an image is shown: the help window's page, and the manual's text width.
constexpr int kHelpImageWidth = 560;
constexpr int kManualImageWidth = 470;

struct Section {
  QString title;
  QString anchor;
};

struct Guide {
  QString name;  // "cables" for docs/guide/cables.md
  QString title;
  std::vector<Section> sections;
  std::unique_ptr<QTextDocument> document;
};

// What a run makes of the guides' links and images.
struct Target {
  bool help = true;
  QString outDir;  // help: where the images are copied
  int imageWidth = kHelpImageWidth;
};

void Fail(const QString& why) {
  std::fprintf(stderr, "orvanta_make_docs: %s\n", qPrintable(why));
}

std::optional<QByteArray> ReadBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  return file.readAll();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size()) {
    return true;
  }
  Fail(QStringLiteral("cannot write %1").arg(path));
  return false;
}

// The anchor GitHub gives a heading: lower case, only letters, digits, blanks, '-' and '_' kept,
// blanks as '-'; a repeated one numbered.
QString Slug(const QString& heading, std::map<QString, int>& used) {
  QString slug;
  for (const QChar c : heading.toLower()) {
    if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_')) slug += c;
    if (c == QLatin1Char(' ')) slug += QLatin1Char('-');
  }
  const int seen = used[slug]++;
  return seen == 0 ? slug : slug + QLatin1Char('-') + QString::number(seen);
}

// A link into the README's behaviour choices, as the guide it is.
QString GuideHref(const QString& href) {
  const QString link = QString::fromLatin1(kChoicesLink);
  if (href == link) return QString::fromLatin1(kChoicesGuide) + QStringLiteral(".md");
  return href;
}

// "index" and the guides index.md links to, in the order of its links.
QStringList GuideNames(const QString& index) {
  QStringList names{QStringLiteral("index")};
  static const QRegularExpression link(QStringLiteral(R"(\]\(([a-z0-9-]+)\.md(#[^)]*)?\))"));
  QString links = index;
  links.replace(QString::fromLatin1(kChoicesLink), QString::fromLatin1(kChoicesGuide) + ".md");
  for (const QRegularExpressionMatch& match : link.globalMatch(links)) {
    if (!names.contains(match.captured(1))) names << match.captured(1);
  }
  return names;
}

// Gives each heading its anchor; the first level-1 heading is the guide's title, the level-2
// headings its sections.
void MarkHeadings(Guide& guide) {
  std::map<QString, int> used;
  for (QTextBlock block = guide.document->begin(); block.isValid(); block = block.next()) {
    const int level = block.blockFormat().headingLevel();
    if (level == 0) continue;
    const QString anchor = Slug(block.text(), used);
    // On the first piece of the heading only: each piece of its own style would repeat it.
    QTextCursor cursor(block);
    cursor.setPosition(block.begin().fragment().position() + block.begin().fragment().length(),
                       QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setAnchor(true);
    format.setAnchorNames({anchor});
    cursor.mergeCharFormat(format);
    if (level == 1 && guide.title.isEmpty()) guide.title = block.text();
    if (level == 2) guide.sections.push_back({block.text(), anchor});
  }
}

// The page a link to another guide leads to: "cables.html#wiring" in the help, "#wiring" (or the
// guide's title) in the manual. Nothing when the link names no guide.
std::optional<QString> GuideLink(const QString& href, const QStringList& guides,
                                 const Target& target) {
  static const QRegularExpression guideLink(QStringLiteral(R"(^([a-z0-9-]+)\.md(#.*)?$)"));
  const QRegularExpressionMatch match = guideLink.match(GuideHref(href));
  if (!match.hasMatch() || !guides.contains(match.captured(1))) return std::nullopt;
  if (!target.help) return match.captured(2);
  return match.captured(1) + QStringLiteral(".html") + match.captured(2);
}

bool IsAddress(const QString& href) {
  const QString scheme = QUrl(href).scheme();
  return href.startsWith(QLatin1Char('#')) || scheme == QLatin1String("http") ||
         scheme == QLatin1String("https") || scheme == QLatin1String("mailto");
}

// Points a link at its page, or says why it cannot be followed.
bool FixLink(QTextCharFormat& format, const QString& where, const QStringList& guides,
             const Target& target) {
  const QString href = format.anchorHref();
  if (IsAddress(href)) return true;
  const std::optional<QString> page = GuideLink(href, guides, target);
  if (!page) {
    Fail(QStringLiteral("%1: the link %2 names no guide").arg(where, href));
    return false;
  }
  format.setAnchorHref(*page);
  return true;
}

// Sizes an image to fit, and for the help copies it beside the pages under its own name.
bool FixImage(QTextImageFormat& format, const QString& where, const QString& guideDir,
              const Target& target, QStringList& images) {
  const QString file = QDir(guideDir).absoluteFilePath(format.name());
  const QSize size = QImageReader(file).size();
  if (!size.isValid()) {
    Fail(QStringLiteral("%1: the image %2 cannot be read").arg(where, format.name()));
    return false;
  }
  const int width = std::min(size.width(), target.imageWidth);
  format.setWidth(width);
  format.setHeight(std::round(static_cast<qreal>(size.height()) * width / size.width()));
  images << file;
  if (!target.help) {
    format.setName(QUrl::fromLocalFile(file).toString());
    return true;
  }
  const QString copy = QFileInfo(file).fileName();
  format.setName(copy);
  const QString destination = QDir(target.outDir).filePath(copy);
  QFile::remove(destination);
  if (QFile::copy(file, destination)) return true;
  Fail(QStringLiteral("cannot copy %1 to %2").arg(file, destination));
  return false;
}

// Fixes the links and images of `document`; `images` gets the image files it shows.
bool FixLinksAndImages(QTextDocument& document, const QString& where, const QString& guideDir,
                       const QStringList& guides, const Target& target, QStringList& images) {
  struct Change {
    int position, length;
    QTextCharFormat format;
  };
  std::vector<Change> changes;
  bool ok = true;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      QTextCharFormat format = fragment.charFormat();
      if (format.isImageFormat()) {
        QTextImageFormat image = format.toImageFormat();
        ok = FixImage(image, where, guideDir, target, images) && ok;
        format = image;
      } else if (format.isAnchor() && !format.anchorHref().isEmpty()) {
        ok = FixLink(format, where, guides, target) && ok;
      } else {
        continue;
      }
      changes.push_back({fragment.position(), fragment.length(), format});
    }
  }
  for (const Change& change : changes) {
    QTextCursor cursor(&document);
    cursor.setPosition(change.position);
    cursor.setPosition(change.position + change.length, QTextCursor::KeepAnchor);
    cursor.setCharFormat(change.format);
  }
  return ok;
}

// Where a guide is written, from the source folder.
QString GuideSource(const QString& name) {
  if (name == QLatin1String(kChoicesGuide)) return QString::fromLatin1(kReadme);
  return QStringLiteral("%1/%2.md").arg(kGuideDir, name);
}

// The README's behaviour choices as a guide of their own: the section to the next of its level,
// each heading one level up.
std::optional<QString> ChoicesSection(const QString& readme) {
  const QString heading = QString::fromLatin1(kChoicesHeading);
  const qsizetype start = readme.indexOf(QLatin1Char('\n') + heading + QLatin1Char('\n'));
  if (start < 0) return std::nullopt;
  const qsizetype end = readme.indexOf(QStringLiteral("\n## "), start + 1);
  QString section = readme.mid(start + 1, end < 0 ? -1 : end - start);
  static const QRegularExpression headings(QStringLiteral("(^|\n)#(#+ )"));
  return section.replace(headings, QStringLiteral("\\1\\2"));
}

std::optional<QString> ReadGuide(const QString& sourceDir, const QString& name) {
  const QString source = GuideSource(name);
  const std::optional<QByteArray> bytes = ReadBytes(QDir(sourceDir).filePath(source));
  if (!bytes) {
    Fail(QStringLiteral("cannot read %1").arg(source));
    return std::nullopt;
  }
  if (name != QLatin1String(kChoicesGuide)) return QString::fromUtf8(*bytes);
  const std::optional<QString> section = ChoicesSection(QString::fromUtf8(*bytes));
  if (!section) Fail(QStringLiteral("%1 has no \"%2\"").arg(source, kChoicesHeading));
  return section;
}

// Every guide, read and with its links and images fixed for `target`.
std::optional<std::vector<Guide>> LoadGuides(const QString& sourceDir, const Target& target,
                                             QStringList& images) {
  const QString guideDir = QDir(sourceDir).filePath(QString::fromLatin1(kGuideDir));
  const std::optional<QString> index = ReadGuide(sourceDir, QStringLiteral("index"));
  if (!index) return std::nullopt;
  const QStringList names = GuideNames(*index);
  std::vector<Guide> guides;
  bool ok = true;
  for (const QString& name : names) {
    const std::optional<QString> markdown = ReadGuide(sourceDir, name);
    if (!markdown) return std::nullopt;
    Guide guide{name, {}, {}, std::make_unique<QTextDocument>()};
    guide.document->setMarkdown(*markdown);
    guide.document->setBaseUrl(QUrl::fromLocalFile(guideDir + QLatin1Char('/')));
    MarkHeadings(guide);
    const QString where = GuideSource(name);
    ok = FixLinksAndImages(*guide.document, where, guideDir, names, target, images) && ok;
    if (guide.title.isEmpty()) {
      Fail(where + QStringLiteral(": no title (a first-level heading)"));
      ok = false;
    }
    guides.push_back(std::move(guide));
  }
  if (!ok) return std::nullopt;
  return guides;
}

QString Escaped(const QString& text) {
  return text.toHtmlEscaped();
}

QString ContentsEntry(const QString& name, const QString& local) {
  return QStringLiteral(
             "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"%1\">"
             "<param name=\"Local\" value=\"%2\"></object>\n")
      .arg(Escaped(name), Escaped(local));
}

// The help's table of contents: each guide, with its sections below it.
QByteArray Contents(const std::vector<Guide>& guides) {
  QString hhc =
      QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">\n<html><body>\n<ul>\n");
  for (const Guide& guide : guides) {
    const QString page = guide.name + QStringLiteral(".html");
    hhc += ContentsEntry(guide.title, page);
    if (guide.sections.empty()) continue;
    hhc += QStringLiteral("<ul>\n");
    for (const Section& section : guide.sections) {
      hhc += ContentsEntry(section.title, page + QLatin1Char('#') + section.anchor);
    }
    hhc += QStringLiteral("</ul>\n");
  }
  hhc += QStringLiteral("</ul>\n</body></html>\n");
  return hhc.toUtf8();
}

QByteArray Project(const QStringList& files) {
  QString hhp = QStringLiteral(
                    "[OPTIONS]\nCompiled file=Orvanta_Help.chm\nContents file=toc.hhc\n"
                    "Default topic=index.html\nTitle=%1\nLanguage=0x409 English (United States)\n"
                    "\n[FILES]\n")
                    .arg(QString::fromLatin1(kHelpTitle));
  for (const QString& file : files) hhp += file + QLatin1Char('\n');
  return hhp.toUtf8();
}

// "DIGEST  PATH" for each source, PATH from the source folder, as sha256sum writes them.
std::optional<QByteArray> SourceDigests(const QString& sourceDir, QStringList sources) {
  sources.sort();
  sources.removeDuplicates();
  QByteArray lines;
  for (const QString& source : sources) {
    const std::optional<QByteArray> bytes = ReadBytes(source);
    if (!bytes) {
      Fail(QStringLiteral("cannot read %1").arg(source));
      return std::nullopt;
    }
    lines += QCryptographicHash::hash(*bytes, QCryptographicHash::Sha256).toHex() + "  " +
             QDir(sourceDir).relativeFilePath(source).toUtf8() + "\n";
  }
  return lines;
}

// The pop-up topic files, copied beside the pages; their names, and the sources they are.
bool CopyTopicFiles(const QString& sourceDir, const QString& outDir, QStringList& files,
                    QStringList& sources) {
  const QDir topics(QDir(sourceDir).filePath(QString::fromLatin1(kTopicDir)));
  for (const QString& name : topics.entryList({QStringLiteral("*.txt")}, QDir::Files)) {
    const QString destination = QDir(outDir).filePath(name);
    QFile::remove(destination);
    if (!QFile::copy(topics.filePath(name), destination)) {
      Fail(QStringLiteral("cannot copy %1").arg(topics.filePath(name)));
      return false;
    }
    files << name;
    sources << topics.filePath(name);
  }
  return true;
}

int MakeHelp(const QString& sourceDir, const QString& outDir) {
  if (!QDir().mkpath(outDir)) {
    Fail(QStringLiteral("cannot make %1").arg(outDir));
    return 1;
  }
  QStringList images;
  const std::optional<std::vector<Guide>> guides = LoadGuides(sourceDir, {true, outDir}, images);
  if (!guides) return 1;
  QStringList files;
  QStringList sources{QDir(sourceDir).filePath(QString::fromLatin1(kGenerator))};
  for (const Guide& guide : *guides) {
    guide.document->setMetaInformation(QTextDocument::DocumentTitle, guide.title);
    const QString page = guide.name + QStringLiteral(".html");
    if (!WriteBytes(QDir(outDir).filePath(page), guide.document->toHtml().toUtf8())) return 1;
    files << page;
    sources << QDir(sourceDir).filePath(GuideSource(guide.name));
  }
  for (const QString& image : images) {
    if (!files.contains(QFileInfo(image).fileName())) files << QFileInfo(image).fileName();
  }
  sources << images;
  if (!CopyTopicFiles(sourceDir, outDir, files, sources)) return 1;
  const std::optional<QByteArray> digests = SourceDigests(sourceDir, sources);
  if (!digests) return 1;
  files << QString::fromLatin1(kSourcesFile);
  const QDir out(outDir);
  const bool written = WriteBytes(out.filePath(QString::fromLatin1(kSourcesFile)), *digests) &&
                       WriteBytes(out.filePath(QStringLiteral("toc.hhc")), Contents(*guides)) &&
                       WriteBytes(out.filePath(QStringLiteral("Orvanta_Help.hhp")), Project(files));
  return written ? 0 : 1;
}

// A manual's page: code blocks wrap instead of running off the paper, in a smaller type.
void FitCodeToPaper(QTextDocument& document) {
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (!block.blockFormat().nonBreakableLines()) continue;
    QTextCursor cursor(block);
    QTextBlockFormat wrapping;
    wrapping.setNonBreakableLines(false);
    cursor.mergeBlockFormat(wrapping);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat smaller;
    smaller.setFontPointSize(document.defaultFont().pointSizeF() * 0.85);
    cursor.mergeCharFormat(smaller);
  }
}

// The index guide as the manual's first page: the manual's title for its own, and the version.
void MakeTitlePage(QTextDocument& index, const QString& version) {
  QTextCursor cursor(index.begin());
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  cursor.insertText(QString::fromUtf8(kManualTitle));
  cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
  cursor.insertText(QStringLiteral("Version ") + version);
}

// Appends `guide` at `cursor`, from a new page.
void AppendGuide(QTextCursor& cursor, const Guide& guide) {
  // A plain block: after a guide that ends in a list, the next title would join the list.
  cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
  const int from = cursor.position();
  cursor.insertFragment(QTextDocumentFragment(guide.document.get()));
  QTextCursor start(cursor.document());
  start.setPosition(from);
  QTextBlockFormat pageBreak;
  pageBreak.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
  start.mergeBlockFormat(pageBreak);
}

int MakeManual(const QString& sourceDir, const QString& output, const QString& version) {
  QStringList images;
  const std::optional<std::vector<Guide>> guides =
      LoadGuides(sourceDir, {false, {}, kManualImageWidth}, images);
  if (!guides) return 1;
  QTextDocument& manual = *guides->front().document;
  MakeTitlePage(manual, version);
  QTextCursor cursor(&manual);
  cursor.movePosition(QTextCursor::End);
  for (std::size_t i = 1; i < guides->size(); ++i) AppendGuide(cursor, (*guides)[i]);
  FitCodeToPaper(manual);
  // Gone first, so that a failed write is not hidden by the last build's manual.
  QFile::remove(output);
  QPdfWriter writer(output);
  writer.setTitle(QStringLiteral("Orvanta Manual"));
  writer.setCreator(QStringLiteral("Orvanta Interface Application"));
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
  manual.print(&writer);
  if (!QFile::exists(output)) {
    Fail(QStringLiteral("cannot write %1").arg(output));
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() == 4 && args[1] == QLatin1String("help")) return MakeHelp(args[2], args[3]);
  if (args.size() == 5 && args[1] == QLatin1String("manual")) {
    return MakeManual(args[2], args[3], args[4]);
  }
  std::fprintf(stderr,
               "usage: %s help SOURCE_DIR OUT_DIR\n"
               "       %s manual SOURCE_DIR OUTPUT.pdf VERSION\n",
               argv[0], argv[0]);
  return 2;
}

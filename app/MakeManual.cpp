// Build step: turns the manual's Markdown into "Orvanta Manual.pdf" with Qt's own text layout and
// PDF writer. Run with QT_QPA_PLATFORM=offscreen, as the build machine has no display.
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <cstdio>

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s MANUAL.md OUTPUT.pdf\n", argv[0]);
    return 2;
  }
  QFile source(QString::fromLocal8Bit(argv[1]));
  if (!source.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  QTextDocument document;
  document.setMarkdown(QString::fromUtf8(source.readAll()));
  // Gone first, so that a failed write is not hidden by the last build's manual.
  QFile::remove(QString::fromLocal8Bit(argv[2]));
  QPdfWriter writer(QString::fromLocal8Bit(argv[2]));
  writer.setTitle(QStringLiteral("Orvanta Manual"));
  writer.setCreator(QStringLiteral("Orvanta Interface Application"));
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
  document.print(&writer);
  if (!QFile::exists(QString::fromLocal8Bit(argv[2]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}

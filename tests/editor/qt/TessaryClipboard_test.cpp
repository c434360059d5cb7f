// The editor control on the real (offscreen) clipboard through its Qt
// widget: the mime types copy offers, HTML paste and read-only.

#include "editor/Tessary.h"
#include "editor/TessaryCommands.h"
#include "editor/qt/TessaryWidget.h"

#include <QClipboard>
#include <QMimeData>
#include <QtTest>

using namespace torvane::editor;
using torvane::editor::qt::TessaryWidget;

namespace {

intptr_t Str(const char* s) {
    return reinterpret_cast<intptr_t>(s);
}

} // namespace

class TessaryClipboardTest : public QObject {
    Q_OBJECT

private slots:
    void copyOffersTextAndRtf() {
        TessaryWidget widget;
        TCustomTessary& ed = widget.Control();
        ed.Perform(WM_SETTEXT, 0, Str("p\xf8i {x}\r\ny"));
        ed.Perform(EM_SETSEL, 0, 9);
        QCOMPARE(ed.Perform(WM_COPY), 1);
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        QCOMPARE(data->text(),
                 QString::fromUtf8("p\u0159i {x}\ny").replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
        for (const char* type : {"text/rtf", "application/rtf"}) {
            const QByteArray rtf = data->data(QString::fromLatin1(type));
            QVERIFY2(rtf.startsWith("{\\rtf1"), type);
            QVERIFY2(rtf.contains("p\\'f8i \\{x\\}\\line \r\ny\r\n}}"), rtf.constData());
        }
    }

    void pasteOfHtmlInsertsTheFragmentsMarkup() {
        TessaryWidget widget;
        TCustomTessary& ed = widget.Control();
        auto* mime = new QMimeData;
        mime->setHtml(QStringLiteral(
            "<html><body><!--StartFragment--><i>nop</i> ; \u010d<!--EndFragment--></body></html>"));
        QGuiApplication::clipboard()->setMimeData(mime);
        ed.OnDataDrop = [](TCustomTessary&, TSourceTypes& sources) {
            sources = (sources & ~stText) | stHTML | stHTMLCutHead | stHTMLFragment;
        };
        QCOMPARE(ed.Perform(WM_PASTE), 1);
        QCOMPARE(QByteArray::fromStdString(ed.Store().Text()), QByteArray("<i>nop</i> ; \xe8"));
    }

    void cutOnReadOnlyDoesNothingWhileCopyWorks() {
        TessaryWidget widget;
        TCustomTessary& ed = widget.Control();
        ed.Perform(WM_SETTEXT, 0, Str("fixed"));
        ed.SetReadOnly(true);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        ed.Perform(EM_SETSEL, 0, 3);
        QCOMPARE(ed.Perform(WM_CUT), 0);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        QCOMPARE(QByteArray::fromStdString(ed.Store().Text()), QByteArray("fixed"));
        QCOMPARE(ed.Perform(WM_COPY), 1);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("fix"));
    }
};

QTEST_MAIN(TessaryClipboardTest)
#include "TessaryClipboard_test.moc"

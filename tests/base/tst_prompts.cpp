// The file dialogs' filters: the labels stay as written, "*.*" matches every file.

#include "base/prompts.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QTest>

class TestPrompts : public QObject
{
    Q_OBJECT
private slots:
    void filters_data()
    {
        QTest::addColumn<QString>("windows");
        QTest::addColumn<QString>("qt");
        QTest::newRow("main open") << "All (*.*)|*.*|HTML|*.html;*.htm"
                                   << "All (*.*) (*);;HTML (*.html *.htm)";
        QTest::newRow("multi-file") << "All|*.*"
                                    << "All (*)";
        QTest::newRow("proposals") << "Src|*.src|All|*.*"
                                   << "Src (*.src);;All (*)";
    }
    void filters()
    {
        QFETCH(QString, windows);
        QFETCH(QString, qt);
        QCOMPARE(qtFileFilter(windows), qt);
    }

    // The dialog reads its patterns from the last parentheses and shows the label alone.
    void everyFileMatchesAll()
    {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setNameFilter(qtFileFilter(QStringLiteral("All (*.*)|*.*")));
        const QString filter = dialog.nameFilters().value(0);
        const QString patterns = filter.mid(filter.lastIndexOf(u'(') + 1).chopped(1);
        for (const QString &name : {QStringLiteral("Makefile"), QStringLiteral("a.txt")})
            QVERIFY2(QDir::match(patterns, name), qPrintable(name));
        auto *combo = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        QVERIFY(combo);
        QCOMPARE(combo->itemText(0), QStringLiteral("All (*.*)"));
    }
};

QTEST_MAIN(TestPrompts)
#include "tst_prompts.moc"

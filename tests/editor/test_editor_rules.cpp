#include <QTest>

#include "editor/editor_rules.h"

class TestEditorRules final : public QObject
{
    Q_OBJECT

private slots:
    void readsTimeAsTheNumericConversionDoes_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("time"); // empty: refused
        const auto row = [](const char* name, const char* typed, const char* time) {
            QTest::newRow(name) << QString(typed) << QString(time);
        };
        row("single digits", "7:5", "07:05");
        row("blanks around both parts", " 7 : 30 ", "07:30");
        row("signs", "+7:-0", "07:00");
        row("fraction rounds up", "7.5:30", "08:30");
        row("half rounds to even", "6.5:30", "06:30");
        row("fraction rounds out of range", "23.5:00", "");
        row("no colon", "730", "");
        row("minute 60", "12:60", "");
        row("negative hour", "-1:00", "");
        row("hour wraps past 16 bits", "65543:00", "");
        row("empty", "", "");
    }
    void readsTimeAsTheNumericConversionDoes()
    {
        QFETCH(QString, typed);
        QFETCH(QString, time);
        QCOMPARE(hv::editor::readAlarmTime(typed).value_or(QString()), time);
    }
};

QTEST_GUILESS_MAIN(TestEditorRules)
#include "test_editor_rules.moc"

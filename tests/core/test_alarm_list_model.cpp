#include <QAbstractItemModelTester>
#include <QTest>

#include "alarms/alarm_file.h"
#include "core/alarm_list_model.h"

using hv::alarms::tAlarm;
using hv::core::AlarmListModel;

class TestAlarmListModel final : public QObject
{
    Q_OBJECT

private slots:
    void keepsTheRowsAndTheLimit_data();
    void keepsTheRowsAndTheLimit();
};

void TestAlarmListModel::keepsTheRowsAndTheLimit_data()
{
    QTest::addColumn<int>("alarms"); // loaded first, with the messages A0, A1, ...
    QTest::addColumn<QString>("events");
    QTest::addColumn<QString>("results");
    QTest::addColumn<QStringList>("messages"); // of the first three rows at most

    QTest::newRow("the 75th, then none") << 74 << "add X;add Y"
                                         << "74;none" << QStringList{"A0", "A1", "A2"};
    QTest::newRow("delete moves the later up") << 3 << "remove 0"
                                               << "yes" << QStringList{"A1", "A2"};
    QTest::newRow("the add row and none are not deleted") << 1 << "remove 1;remove -1"
                                                          << "no;no" << QStringList{"A0"};
    QTest::newRow("deleting the last leaves none") << 1 << "remove 0;add X"
                                                   << "yes;0" << QStringList{"X"};
    QTest::newRow("edited, an earlier one deleted") << 3 << "edit 2;remove 0;store C"
                                                    << "yes;1" << QStringList{"A1", "C"};
    QTest::newRow("edited, itself deleted: added") << 3 << "edit 1;remove 1;store C"
                                                   << "yes;2" << QStringList{"A0", "A2", "C"};
    QTest::newRow("edited, a later one deleted") << 3 << "edit 0;remove 2;store C"
                                                 << "yes;0" << QStringList{"C", "A1"};
    QTest::newRow("opened to add") << 2 << "edit -1;store C"
                                   << "2" << QStringList{"A0", "A1", "C"};
    QTest::newRow("opened on the add row") << 2 << "edit 2;store C"
                                           << "2" << QStringList{"A0", "A1", "C"};
    QTest::newRow("opened to add at the limit") << 75 << "edit -1;store C"
                                                << "none" << QStringList{"A0", "A1", "A2"};
}

void TestAlarmListModel::keepsTheRowsAndTheLimit()
{
    QFETCH(int, alarms);
    QFETCH(QString, events);
    QFETCH(QString, results);
    QFETCH(QStringList, messages);
    const auto daily = [](const QString& message) {
        return tAlarm{"07:00", hv::alarms::ScheduleKind::Daily, "Daily", "olwen", message};
    };
    AlarmListModel model;
    // Fails the test on any row change the views are not told of correctly.
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QList<tAlarm> entries;
    for (int i = 0; i < alarms; ++i)
        entries.append(daily(QString("A%1").arg(i)));
    model.load(entries, QLocale::c());

    QPersistentModelIndex edited;
    QStringList said;
    const auto row = [](std::optional<int> r) { return r ? QString::number(*r) : "none"; };
    for (const QString& event : events.split(';')) {
        const QStringList word = event.split(' ');
        if (word[0] == "add")
            said << row(model.add(daily(word[1])));
        else if (word[0] == "remove")
            said << (model.remove(word[1].toInt()) ? "yes" : "no");
        else if (word[0] == "edit")
            edited = QPersistentModelIndex(model.index(word[1].toInt()));
        else
            said << row(model.store(edited, daily(word[1])));
    }

    QCOMPARE(said.join(';'), results);
    QStringList shown;
    for (int r = 0; r < qMin(3, model.iAlarmCount()); ++r)
        shown << model.index(r).data().toString().section('\t', 4);
    QCOMPARE(shown, messages);
    QCOMPARE(model.rowCount(), model.iAlarmCount() + 1);
    QCOMPARE(model.index(model.iAlarmCount()).data().toString(), hv::alarms::ADD_ALARM_ROW);
    // The entry beyond the last one in use stays blank.
    QVERIFY(model.table().Alarms[model.iAlarmCount()] == tAlarm{});
}

QTEST_GUILESS_MAIN(TestAlarmListModel)
#include "test_alarm_list_model.moc"

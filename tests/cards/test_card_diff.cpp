#include "CardDiff.h"
#include "CardTable.h"
#include "TableStore.h"

#include <QTest>

namespace {

void fill(TableStore &table, const QList<CardRecord> &cards)
{
    CardTable::Recreate(table);
    for (const CardRecord &card : cards)
        CardTable::Append(table, card);
}

CardRecord card(const char *number, const char *id, const char *app = "01",
                const char *pin = "XXXX")
{
    return {QLatin1String(number), QLatin1String(id),  QLatin1String(app),
            QStringLiteral("0"),   QLatin1String(pin), QStringLiteral("0")};
}

} // namespace

// The comparison a person reads before a restore: what would be added, removed and changed,
// card by card and field by field.
class TestCardDiff : public QObject
{
    Q_OBJECT

private slots:
    // Cards written the way a spreadsheet leaves them are the cards a controller holds.
    void sameCardsInAnotherSpellingAreUnchanged()
    {
        TableStore controller;
        TableStore file;
        fill(controller, {card("0000001", "0000000000012345", "01", "12XX")});
        fill(file, {card("1", "12345", "1", "12")});
        const CardDiff diff = DiffCards(controller, file);
        QVERIFY(diff.identical());
        QCOMPARE(diff.unchanged, 1);
        QVERIFY(diff.invalidRows.isEmpty());
    }

    void addedRemovedAndChangedWithTheirFields()
    {
        TableStore before;
        TableStore after;
        fill(before, {card("0000001", "0000000000000011"), card("0000002", "0000000000000022"),
                      card("0000003", "0000000000000033", "01", "1234")});
        fill(after, {card("0000001", "0000000000000011"), card("0000003", "0000000000000099"),
                     card("0010500", "0000000000000105")});
        const CardDiff diff = DiffCards(before, after);
        QCOMPARE(diff.unchanged, 1);
        QCOMPARE(diff.removed.size(), 1);
        QCOMPARE(diff.removed.first().DataNO, QStringLiteral("0000002"));
        QCOMPARE(diff.added.size(), 1);
        QCOMPARE(diff.added.first().DataNO, QStringLiteral("0010500"));
        QCOMPARE(diff.changed.size(), 1);
        QCOMPARE(diff.changed.first().number, 3);
        const QList<CardFieldChange> fields = diff.changed.first().fields;
        QCOMPARE(fields.size(), 2);
        QCOMPARE(fields[0].field, QStringLiteral("DataID"));
        QCOMPARE(fields[0].from, QStringLiteral("0000000000000033"));
        QCOMPARE(fields[0].to, QStringLiteral("0000000000000099"));
        QCOMPARE(fields[1].field, QStringLiteral("DataPIN"));
        QCOMPARE(fields[1].from, QStringLiteral("1234"));
        QCOMPARE(fields[1].to, QStringLiteral("XXXX"));
    }

    // As on a write: an ID of zeros empties the number, and a row that cannot be written is
    // named and changes nothing; so is a row whose number an earlier row holds with another
    // card (the earlier one counts), while the same card twice is one card.
    void rowsCountAsAWriteWouldTakeThem()
    {
        TableStore before;
        TableStore after;
        fill(before, {card("0000001", "0000000000000011"), card("0000002", "0000000000000022"),
                      card("0000003", "0000000000000033")});
        fill(after, {card("0000001", "0000000000000077"), card("0000001", "0000000000000011"),
                     card("0000002", "0000000000000000"), card("12x", "0000000000000055"),
                     card("3", "0000000000000033"), card("0000003", "0000000000000033")});
        const CardDiff diff = DiffCards(before, after);
        QCOMPARE(diff.unchanged, 1);
        QCOMPARE(diff.changed.size(), 1);
        QCOMPARE(diff.changed.first().number, 1);
        QCOMPARE(diff.changed.first().fields.first().to, QStringLiteral("0000000000000077"));
        QCOMPARE(diff.removed.size(), 1);
        QCOMPARE(diff.removed.first().DataNO, QStringLiteral("0000002"));
        QVERIFY(diff.added.isEmpty());
        QCOMPARE(diff.invalidRows.size(), 2);
        QVERIFY(diff.invalidRows[0].startsWith(QLatin1String("new row 2: card number 0000001")));
        QVERIFY(diff.invalidRows[1].startsWith(QLatin1String("new row 4")));
    }

    // A number whose read failed is neither added nor removed: its state is not known, so the
    // lists are not known to be identical either.
    void unknownNumbersTakeNoSide()
    {
        TableStore before;
        TableStore after;
        fill(before, {card("0000001", "0000000000000011")});
        fill(after, {card("0000001", "0000000000000012"), card("0000005", "0000000000000055")});
        const CardDiff diff = DiffCards(before, after, {1, 5});
        QVERIFY(diff.added.isEmpty() && diff.removed.isEmpty() && diff.changed.isEmpty());
        QVERIFY(!diff.identical());
        QCOMPARE(diff.unknownNumbers, QList<int>({1, 5}));
    }

    void emptyOrInactiveTablesCompare()
    {
        TableStore inactive;
        TableStore after;
        fill(after, {card("0000009", "0000000000000009")});
        const CardDiff diff = DiffCards(inactive, after);
        QCOMPARE(diff.added.size(), 1);
        QCOMPARE(diff.unchanged, 0);
    }
};

QTEST_GUILESS_MAIN(TestCardDiff)
#include "test_card_diff.moc"

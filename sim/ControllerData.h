#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QSet>

// The SD card of a simulated controller and the copy it may be running.
struct SdCardState
{
    int sectors = 262144; // 512-byte sectors; 0 = no card
    int total = 200;      // what an SD backup or restore processes
    // What an idle controller reports as the next copy's total; -1: the real total. A
    // controller may announce less than it then copies.
    int announcedTotal = -1;
    int countsPerSecond = 100; // how fast a copy runs (tests speed it up)
    // A copy stalls at this count until it is changed (a slow card); -1: it never stalls.
    int stallAt = -1;
    int running = 0; // 0 idle, 1 SD backup, 2 SD restore
    int slot = 0;
    qint64 startedAtMs = 0;

    bool operator==(const SdCardState &) const = default;
};

// Everything one simulated controller holds.
struct ControllerData
{
    int deviceId = 1;
    QByteArray serialNumber = "12345678";
    QByteArray versionText = "KT480NT-V5.04";
    QMap<QByteArray, QByteArray> parameters; // "AF13" -> "120"; only these codes exist
    QMap<QByteArray, QByteArray> groups;     // "BD01" -> value
    QMap<int, QByteArray> cards;             // card number -> 24-character card record
    QList<QByteArray> events;                // event payloads, oldest first
    int lostAcknowledgements = 0;            // the next "IN" commands never reach it
    // Card numbers whose memory is failing: a write is answered, but the card ID is kept
    // with its last digit changed.
    QSet<int> garbledCardNumbers;
    qint64 clockOffsetMs = 0; // controller clock minus host clock
    SdCardState sd;

    bool operator==(const ControllerData &) const = default;

    // A controller as shipped: factory parameters, a few group records, no cards or events.
    static ControllerData factory(int deviceId = 1, int recordsPerGroup = 2);
};

// The answer to a read of an empty card number.
inline constexpr char EmptyCardRecord[] = "0000000000000000"
                                          "00"
                                          "0"
                                          "XXXX"
                                          "0";

QMap<QByteArray, QByteArray> FactoryParameters();
// recordsPerGroup records per family; "MD" is closed by a record of 16 zeros.
QMap<QByteArray, QByteArray> DefaultGroupRecords(int recordsPerGroup);
// Card records 16-character ID + 2 app + 1 type + 4 PIN + 1 APB for cards 1..count.
QMap<int, QByteArray> GeneratedCards(int count);
QByteArray EncodedCardRecord(const QByteArray &id16, int app, int type, const QByteArray &pin4,
                             int apb);

// An event payload: 31 characters with a 4-character card number, 34 with a 7-character one.
QByteArray EventPayload(int channel, const QDateTime &at, const QByteArray &cardNumber, char type,
                        int apb, int status, int pointer);
// count events with pointers 1..count, both layouts and several event types.
QList<QByteArray> GeneratedEvents(int count);
// The record pointer of an event payload (its last 7 characters).
QByteArray EventPointer(const QByteArray &payload);

// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringView>

// Finding the next entry whose stored fields contain a text.
namespace editor {

// The fields a search looks in, as the bits of ScanFields.
enum ScanField : int {
    kScanQuestion = 1,
    kScanRights = 2,
    kScanInformation = 4,
    kScanAllFields = kScanQuestion | kScanRights | kScanInformation,
};

// The document as the search reads it: every field in its stored form, positions from 0.
class ScanSource {
public:
    virtual ~ScanSource() = default;
    virtual int entryCount() const = 0;
    virtual QString question(int position) const = 0;
    virtual QString rights(int position) const = 0;
    virtual QString information(int position) const = 0;
};

// Exact substring match (case, width and kana differ) in the chosen fields, tested in the
// order question, rights, information.
bool entryMatches(const ScanSource& source, int position, QStringView text, int fields);

// What the window is asked for while a search step runs.
class ScanDriver {
public:
    virtual ~ScanDriver() = default;
    // The first pass found nothing: search again from the top? (Yes = true)
    virtual bool askRestart() = 0;
    // Called after every entry without a match, and after the question; handles pending
    // window events. False stops the search at once: the document changed under it.
    virtual bool keepScanning() = 0;
};

enum class ScanOutcome {
    NeedText,     // nothing to look for
    NeedFields,   // no field chosen
    EmptyList,    // nothing to search: the finished message at once
    Found,        // position holds the matching entry
    Declined,     // the user did not want to search again from the top
    Finished,     // both passes done without a match
    Interrupted,  // the document changed while events were handled
};

struct ScanResult {
    ScanOutcome outcome = ScanOutcome::Finished;
    int position = -1;

    friend bool operator==(const ScanResult&, const ScanResult&) = default;
};

// One search step: from the entry after `current` (-1: none current) to the end, then, if the
// driver agrees, from the top up to and including `current`.
ScanResult scanNext(const ScanSource& source, int current, const QString& text, int fields,
                    ScanDriver& driver);

}  // namespace editor

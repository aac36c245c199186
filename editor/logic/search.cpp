// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/logic/search.h"

namespace editor {

namespace {

bool fieldContains(const QString& field, QStringView text) {
    return field.contains(text, Qt::CaseSensitive);
}

// Tests positions first..last; Found, Interrupted, or Finished when the range holds no match.
ScanResult scanRange(const ScanSource& source, int first, int last, QStringView text, int fields,
                     ScanDriver& driver) {
    for (int p = first; p <= last; ++p) {
        if (entryMatches(source, p, text, fields)) {
            return {ScanOutcome::Found, p};
        }
        if (!driver.keepScanning()) {
            return {ScanOutcome::Interrupted};
        }
    }
    return {ScanOutcome::Finished};
}

}  // namespace

bool entryMatches(const ScanSource& source, int position, QStringView text, int fields) {
    if ((fields & kScanQuestion) && fieldContains(source.question(position), text)) {
        return true;
    }
    if ((fields & kScanRights) && fieldContains(source.rights(position), text)) {
        return true;
    }
    return (fields & kScanInformation) && fieldContains(source.information(position), text);
}

ScanResult scanNext(const ScanSource& source, int current, const QString& text, int fields,
                    ScanDriver& driver) {
    if (text.isEmpty()) {
        return {ScanOutcome::NeedText};
    }
    // Bits beyond the three fields (a damaged settings file) choose nothing.
    if ((fields & kScanAllFields) == 0) {
        return {ScanOutcome::NeedFields};
    }
    const int count = source.entryCount();
    if (count == 0) {
        return {ScanOutcome::EmptyList};
    }
    // The walk keeps to the positions it started with; the driver reports any change.
    const int start = current >= 0 && current < count ? current : -1;

    ScanResult result = scanRange(source, start + 1, count - 1, text, fields, driver);
    if (result.outcome != ScanOutcome::Finished) {
        return result;
    }
    if (!driver.askRestart()) {
        return {ScanOutcome::Declined};
    }
    if (!driver.keepScanning()) {
        return {ScanOutcome::Interrupted};
    }
    return scanRange(source, 0, start, text, fields, driver);
}

}  // namespace editor

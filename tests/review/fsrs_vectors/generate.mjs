// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Writes vectors.json: review sequences with random grades and gaps, in UTC and on a learner's
// day in two zones, and the reference scheduler's state after each review. Run: npm ci && node generate.mjs
import { writeFileSync } from "node:fs";
import { fileURLToPath } from "node:url";
import { createEmptyCard, fsrs, FSRSVersion, generatorParameters } from "ts-fsrs";


// A fixed seed keeps the file stable from run to run.
function mulberry32(seed) {
    return () => {
        seed = (seed + 0x6d2b79f5) | 0;
        let t = seed;
        t = Math.imul(t ^ (t >>> 15), t | 1);
        t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
        return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    };
}
const random = mulberry32(20261207);
const between = (lo, hi) => lo + Math.floor(random() * (hi - lo + 1));

const MINUTE = 60 * 1000;
const DAY = 24 * 60 * MINUTE;

// Same-day repeats, hours that may cross midnight, days, months, and reviews near the due time.
function gap(card, now) {
    const kind = random();
    if (kind < 0.3) return between(1, 600) * MINUTE + between(0, 59999);
    if (kind < 0.45) return between(60, 48 * 60) * MINUTE + between(0, 59999);
    if (kind < 0.7) return between(1, 30) * DAY + between(0, DAY - 1);
    if (kind < 0.8) return between(30, 200) * DAY + between(0, DAY - 1);
    const toDue = card.due.getTime() - now;
    return Math.max(1000, toDue + between(-120, 120) * MINUTE);
}

// The learner's day starts at 04:00 local time: the scheduler counts days on instants moved by
// the zone's offset less the day start, so the reference is handed those moved instants.
const DAY_STARTS_AT = 4;
const HOUR = 60 * MINUTE;
function offsetOf(zone, time) {
    if (zone === "UTC") return 0;
    const parts = new Intl.DateTimeFormat("en-US", {
        timeZone: zone, hourCycle: "h23", year: "numeric", month: "numeric", day: "numeric",
        hour: "numeric", minute: "numeric", second: "numeric",
    }).formatToParts(new Date(time));
    const part = (type) => Number(parts.find((p) => p.type === type).value);
    const local = Date.UTC(part("year"), part("month") - 1, part("day"), part("hour"),
        part("minute"), part("second"));
    return local - Math.floor(time / 1000) * 1000;
}
const shift = (zone, time) => zone === "UTC" ? time : time + offsetOf(zone, time) - DAY_STARTS_AT * HOUR;

// One sequence from steps that yield {time, grade} and are handed the state after each review,
// its due date as a real instant. Times are real instants; the reference's results are on the
// moved ones.
function run(zone, retention, steps) {
    const scheduler = fsrs(generatorParameters({ request_retention: retention, enable_fuzz: false }));
    let card = null;
    const reviews = [];
    for (let step = steps.next(); !step.done;) {
        const { time, grade } = step.value;
        const moved = shift(zone, time);
        card ??= createEmptyCard(new Date(moved));
        const retrievability = scheduler.get_retrievability(card, new Date(moved), false);
        card = scheduler.next(card, new Date(moved), grade).card;
        reviews.push([time, grade, retrievability, card.stability, card.difficulty,
            card.due.getTime(), card.state, card.elapsed_days, card.scheduled_days, moved]);
        step = steps.next({ due: new Date(card.due.getTime() - moved + time) });
    }
    return { retention, zone, reviews };
}

// Random grades and gaps from a random start between first and first + 900 days.
function* randomSteps(first) {
    let now = first + between(0, 900) * DAY + between(0, DAY - 1);
    const count = between(1, 40);
    for (let k = 0; k < count; k++) {
        const card = yield { time: now, grade: between(1, 3) };
        now += gap(card, now);
    }
}

const retentions = [0.9, 0.9, 0.9, 0.7, 0.8, 0.85, 0.95, 0.97];
const sequences = [];
for (let i = 0; i < 240; i++) {
    sequences.push(run("UTC", retentions[i % retentions.length], randomSteps(Date.UTC(2024, 0, 1))));
}
// Spans of years hold several daylight-saving changes in New York.
for (const zone of ["Asia/Tokyo", "America/New_York"]) {
    for (let i = 0; i < 40; i++) {
        sequences.push(run(zone, retentions[i % retentions.length], randomSteps(Date.UTC(2025, 0, 1))));
    }
}
// Answers at given local times: same-day steps and review intervals across the changes of
// 2026 in New York (03-08 02:00 to daylight time, 11-01 02:00 back to standard time), and the
// hours around the day start in Tokyo.
const at = (iso, grade) => ({ time: Date.parse(iso), grade });
const fixed = [
    ["America/New_York", [at("2026-03-08T01:52:00-05:00", 3), at("2026-03-08T03:03:00-04:00", 3),
        at("2026-03-08T03:58:00-04:00", 1), at("2026-03-08T04:09:00-04:00", 3)]],
    ["America/New_York", [at("2026-03-08T01:58:00-05:00", 1), at("2026-03-08T03:00:00-04:00", 1),
        at("2026-03-08T03:10:00-04:00", 3), at("2026-03-08T03:21:00-04:00", 3)]],
    ["America/New_York", [at("2026-11-01T01:55:00-04:00", 3), at("2026-11-01T01:06:00-05:00", 3),
        at("2026-11-01T01:30:00-05:00", 2), at("2026-11-01T04:30:00-05:00", 3)]],
    ["America/New_York", [at("2026-11-01T01:30:00-04:00", 1), at("2026-11-01T01:30:00-05:00", 3),
        at("2026-11-01T01:45:00-05:00", 3)]],
    ["America/New_York", [at("2026-10-30T08:50:00-04:00", 3), at("2026-10-30T09:05:00-04:00", 3),
        at("2026-11-01T04:00:00-05:00", 3), at("2026-11-06T03:59:00-05:00", 2),
        at("2026-11-06T04:00:00-05:00", 1), at("2026-11-06T04:10:00-05:00", 3)]],
    ["America/New_York", [at("2026-03-05T22:00:00-05:00", 3), at("2026-03-05T22:10:00-05:00", 3),
        at("2026-03-08T03:59:00-04:00", 3), at("2026-03-08T04:00:00-04:00", 3),
        at("2026-03-20T23:30:00-04:00", 3)]],
    ["Asia/Tokyo", [at("2026-10-30T08:50:00+09:00", 3), at("2026-10-30T09:05:00+09:00", 3),
        at("2026-11-01T03:59:00+09:00", 3), at("2026-11-01T04:00:00+09:00", 1),
        at("2026-11-01T04:10:00+09:00", 3), at("2026-11-09T03:00:00+09:00", 3)]],
];
for (const [zone, steps] of fixed) {
    for (const retention of [0.9, 0.8]) {
        sequences.push(run(zone, retention, steps.values()));
    }
}

const out = fileURLToPath(new URL("vectors.json", import.meta.url));
const lines = sequences.map((s) =>
    `{"retention":${s.retention},"zone":"${s.zone}","dayStartsAt":${s.zone === "UTC" ? 0 : DAY_STARTS_AT},"reviews":[\n${s.reviews.map((r) => JSON.stringify(r)).join(",\n")}]}`);
writeFileSync(out, `{"generator":"ts-fsrs ${FSRSVersion}",` +
    `"fields":["time","grade","retrievabilityBefore","stability","difficulty","due","state",` +
    `"elapsedDays","scheduledDays","movedTime"],\n"sequences":[\n${lines.join(",\n")}]}\n`);
console.log(`${sequences.length} sequences written to ${out}`);

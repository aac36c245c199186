// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Writes vectors.json: review sequences with random grades and gaps, and the reference
// scheduler's state after each review. Run: npm ci && node generate.mjs
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

const retentions = [0.9, 0.9, 0.9, 0.7, 0.8, 0.85, 0.95, 0.97];
const sequences = [];
for (let i = 0; i < 240; i++) {
    const retention = retentions[i % retentions.length];
    const scheduler = fsrs(generatorParameters({ request_retention: retention, enable_fuzz: false }));
    let now = Date.UTC(2024, 0, 1) + between(0, 900) * DAY + between(0, DAY - 1);
    let card = createEmptyCard(new Date(now));
    const reviews = [];
    const count = between(1, 40);
    for (let k = 0; k < count; k++) {
        const grade = between(1, 3);
        const retrievability = scheduler.get_retrievability(card, new Date(now), false);
        card = scheduler.next(card, new Date(now), grade).card;
        reviews.push([now, grade, retrievability, card.stability, card.difficulty,
            card.due.getTime(), card.state, card.elapsed_days, card.scheduled_days]);
        now += gap(card, now);
    }
    sequences.push({ retention, reviews });
}

const out = fileURLToPath(new URL("vectors.json", import.meta.url));
const lines = sequences.map((s) =>
    `{"retention":${s.retention},"reviews":[\n${s.reviews.map((r) => JSON.stringify(r)).join(",\n")}]}`);
writeFileSync(out, `{"generator":"ts-fsrs ${FSRSVersion}",` +
    `"fields":["time","grade","retrievabilityBefore","stability","difficulty","due","state",` +
    `"elapsedDays","scheduledDays"],\n"sequences":[\n${lines.join(",\n")}]}\n`);
console.log(`${sequences.length} sequences written to ${out}`);

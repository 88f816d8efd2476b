#!/usr/bin/env python3
"""Writes sample.txt: a deterministic daily price history in the default
layout (header line; mm/dd/yyyy,open,high,low,close), weekdays only, with a
few market holidays left out."""
import datetime
import random
import sys

def main(path="sample.txt", days=2600):
    rng = random.Random(20010401)
    day = datetime.date(2015, 1, 2)
    close = 100.0
    holidays = {(1, 1), (7, 4), (12, 25), (11, 26), (5, 29), (9, 4)}
    rows = []
    while len(rows) < days:
        if day.weekday() < 5 and (day.month, day.day) not in holidays:
            drift = 0.0004 + 0.012 * rng.gauss(0, 1)
            open_ = close * (1 + 0.004 * rng.gauss(0, 1))
            close = max(5.0, close * (1 + drift))
            high = max(open_, close) * (1 + abs(0.006 * rng.gauss(0, 1)))
            low = min(open_, close) * (1 - abs(0.006 * rng.gauss(0, 1)))
            rows.append("%02d/%02d/%04d,%.2f,%.2f,%.2f,%.2f"
                        % (day.month, day.day, day.year, open_, high, low, close))
        day += datetime.timedelta(days=1)
    with open(path, "w", newline="\n") as f:
        f.write("Date,Open,High,Low,Close\n")
        f.write("\n".join(rows) + "\n")

if __name__ == "__main__":
    main(*sys.argv[1:2])

#!/usr/bin/env python3
"""Reads what `brellow-cli --format json` wrote, strictly, and writes it again as the
CSV of the same loan (`loan FILE`) or as the text of the same refinance advice
(`refinance FILE`), so that a test can compare the two outputs byte for byte.

Exits 1 with the reason when the file is not JSON (NaN, Infinity, trailing text and
repeated keys count as not JSON) or lacks what the program promises."""

import json
import sys

LOAN_KEYS = ["terms", "periodicRate", "payment", "payoff", "year", "rows",
             "annualTotals", "runningTotals"]
ROW_KEYS = ["period", "date", "payment", "interest", "principal", "balance"]
REFINANCE_KEYS = ["inputs", "figures", "advice"]


def refuse_constant(name):
    raise ValueError(f"{name} is not JSON")


def without_repeated_keys(pairs):
    keys = [key for key, _ in pairs]
    if len(keys) != len(set(keys)):
        raise ValueError(f"repeated key in {keys}")
    return dict(pairs)


def expect(condition, what):
    if not condition:
        raise ValueError(what)


def is_number(value):
    return isinstance(value, (int, float)) and not isinstance(value, bool)


def money(value):
    expect(is_number(value), f"{value!r} is not a number")
    return f"{value:.2f}"


def loan_csv(loan):
    expect(list(loan) == LOAN_KEYS, f"members {list(loan)}")
    expect((loan["year"] is None) == (loan["annualTotals"] is None),
           "annual totals without a year, or a year without them")
    lines = ["Period,Date,Payment,Interest,Principal,Balance"]
    for row in loan["rows"]:
        expect(list(row) == ROW_KEYS, f"row members {list(row)}")
        expect(isinstance(row["period"], int), f"period {row['period']!r}")
        date = row["date"]
        expect(date is None or isinstance(date, str), f"date {date!r}")
        amounts = [money(row[key]) for key in ROW_KEYS[2:]]
        lines.append(",".join([str(row["period"]), date or ""] + amounts))
    for totals in (loan["annualTotals"], loan["runningTotals"]):
        if totals is not None:
            for key in ("payment", "interest", "principal"):
                money(totals[key])
    return "".join(line + "\r\n" for line in lines)


def refinance_text(refinance):
    expect(list(refinance) == REFINANCE_KEYS, f"members {list(refinance)}")
    for value in list(refinance["inputs"].values()) + list(refinance["figures"].values()):
        expect(is_number(value), f"{value!r} is not a number")
    return refinance["advice"] + "\n"


def main():
    kind, path = sys.argv[1], sys.argv[2]
    with open(path, "rb") as file:
        text = file.read().decode("utf-8")
    try:
        value = json.loads(text, parse_constant=refuse_constant,
                           object_pairs_hook=without_repeated_keys)
        written = loan_csv(value) if kind == "loan" else refinance_text(value)
    except (ValueError, KeyError, TypeError) as problem:
        print(f"{path}: {problem}", file=sys.stderr)
        return 1
    sys.stdout.buffer.write(written.encode("utf-8"))
    return 0


if __name__ == "__main__":
    sys.exit(main())

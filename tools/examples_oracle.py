#!/usr/bin/env python3
"""Brute-force solver for the example puzzles in examples/.

Each puzzle is encoded here by hand, directly in Python, and solved by
enumerating assignments; nothing is shared with the interpreter. The
script prints the solution lines of one example, formatted as the
example's output statement formats them, one per line, in UTF-8.

    examples_oracle.py NAME     print the solution lines of examples/NAME.tvk
    examples_oracle.py --list   print the names of the puzzles known here
"""

import itertools
import sys


def worked():
    lines = []
    for a, b, c in itertools.product(range(1, 4), repeat=3):
        if len({a, b, c}) == 3 and a > b and c != 1:
            lines.append(f"a={a}, b={b}, c={c}")
    return lines


def ranking():
    people = ["甲", "乙", "丙"]
    lines = []
    for ranks in itertools.product(range(1, 4), repeat=3):
        r = dict(zip(people, ranks))
        if len(set(ranks)) != 3:
            continue
        if r["甲"] != 1 and r["乙"] != 3:
            continue
        if not all(r[p] != 2 or p == "乙" for p in people):
            continue
        if not any(r[p] == 1 and p != "丙" for p in people):
            continue
        if not all((r[q] != 3) != (q == "丙") for q in people):
            continue
        lines.append(f"甲:{r['甲']}, 乙:{r['乙']}, 丙:{r['丙']}")
    return lines


def podium():
    people = ["甲", "乙", "丙"]
    lines = []
    for order in itertools.permutations(people):
        place = {p: i + 1 for i, p in enumerate(order)}
        if place["甲"] == 1 or place["乙"] <= place["丙"] or order[2] == "乙":
            continue
        lines.append(f"第一名{order[0]}，第二名{order[1]}，第三名{order[2]}")
    return lines


def zebra():
    nations = ["英国人", "瑞典人", "丹麦人", "挪威人", "德国人"]
    colours = ["红", "绿", "白", "黄", "蓝"]
    drinks = ["茶", "咖啡", "牛奶", "啤酒", "水"]
    sports = ["足球", "篮球", "网球", "排球", "游泳"]
    pets = ["狗", "鸟", "猫", "马", "鱼"]

    def next_to(a, b):
        return abs(a - b) == 1

    # Each permutation gives the house number (1..5) of every item of a kind.
    lines = []
    houses = list(itertools.permutations(range(1, 6)))
    for pn in houses:
        n = dict(zip(nations, pn))
        if n["挪威人"] != 1:
            continue
        for pc in houses:
            c = dict(zip(colours, pc))
            if n["英国人"] != c["红"] or c["绿"] + 1 != c["白"]:
                continue
            if not next_to(n["挪威人"], c["蓝"]):
                continue
            for pd in houses:
                d = dict(zip(drinks, pd))
                if d["牛奶"] != 3 or n["丹麦人"] != d["茶"]:
                    continue
                if c["绿"] != d["咖啡"]:
                    continue
                for ps in houses:
                    s = dict(zip(sports, ps))
                    if c["黄"] != s["篮球"] or s["排球"] != d["啤酒"]:
                        continue
                    if n["德国人"] != s["游泳"]:
                        continue
                    if not next_to(s["网球"], d["水"]):
                        continue
                    for pp in houses:
                        p = dict(zip(pets, pp))
                        if n["瑞典人"] != p["狗"] or s["足球"] != p["鸟"]:
                            continue
                        if not next_to(s["网球"], p["猫"]):
                            continue
                        if not next_to(p["马"], s["篮球"]):
                            continue
                        lines.append(zebra_line(n, c, d, s, p))
    return lines


def zebra_line(n, c, d, s, p):
    def at(table, house):
        return next(k for k, v in table.items() if v == house)
    parts = []
    for h in range(1, 6):
        parts.append(f"{h}:" + "/".join(at(t, h) for t in (c, n, d, s, p)))
    return " ".join(parts) + " 养鱼的是" + at(n, p["鱼"])


def liars():
    people = ["甲", "乙", "丙", "丁"]
    lines = set()
    for thief in people:
        for truth in itertools.product((0, 1), repeat=4):
            t = dict(zip(people, truth))
            said = {
                "甲": thief != "甲",
                "乙": thief == "丁",
                "丙": thief == "乙",
                "丁": t["乙"] == 0,
            }
            if any(bool(t[q]) != said[q] for q in people):
                continue
            if sum(truth) != 1:
                continue
            for honest in people:
                if t[honest] == 1:
                    lines.add(f"小偷是{thief}，说真话的是{honest}")
    return sorted(lines)


def race():
    runners = ["Ann", "Ben", "Cal", "Dee", "Eve"]
    lines = []
    for order in itertools.permutations(runners):
        place = {r: i + 1 for i, r in enumerate(order)}
        if place["Ann"] != place["Cal"] + 1:
            continue
        if place["Ben"] != place["Eve"] + 1:
            continue
        if place["Dee"] <= 3 or place["Ben"] >= place["Dee"]:
            continue
        if order[0] == "Eve":
            continue
        lines.append(", ".join(f"{i + 1}. {r}" for i, r in enumerate(order)))
    return lines


def cryptarithm():
    lines = []
    for e, a, t, h, p, l in itertools.permutations(range(10), 6):
        if e == 0 or t == 0 or a == 0:
            continue
        eat = 100 * e + 10 * a + t
        that = 1000 * t + 100 * h + 10 * a + t
        apple = 10000 * a + 1000 * p + 100 * p + 10 * l + e
        if eat + that == apple:
            lines.append(f"{eat} + {that} = {apple}")
    return lines


def sendmore():
    lines = []
    digits = set(range(10))
    # Units column first, so that most partial assignments are cut early.
    for d, e in itertools.permutations(digits, 2):
        y = (d + e) % 10
        if y in (d, e):
            continue
        rest = digits - {d, e, y}
        for n, r in itertools.permutations(rest, 2):
            for s, m, o in itertools.permutations(rest - {n, r}, 3):
                if s == 0 or m == 0:
                    continue
                send = 1000 * s + 100 * e + 10 * n + d
                more = 1000 * m + 100 * o + 10 * r + e
                money = 10000 * m + 1000 * o + 100 * n + 10 * e + y
                if send + more == money:
                    lines.append(f"{send} + {more} = {money}")
    return lines


def magic():
    lines = []
    for g in itertools.permutations(range(1, 10)):
        rows = [g[0:3], g[3:6], g[6:9]]
        if any(sum(r) != 15 for r in rows):
            continue
        if any(sum(rows[i][c] for i in range(3)) != 15 for c in range(3)):
            continue
        if g[0] + g[4] + g[8] != 15 or g[2] + g[4] + g[6] != 15:
            continue
        if not (g[0] < g[2] and g[0] < g[6] and g[0] < g[8] and g[2] < g[6]):
            continue
        lines.append(" / ".join(" ".join(map(str, r)) for r in rows))
    return lines


def queens():
    n = 6
    lines = []
    for q in itertools.permutations(range(1, n + 1)):
        if all(abs(q[i] - q[j]) != j - i
               for i in range(n) for j in range(i + 1, n)):
            lines.append(" ".join(map(str, q)))
    return lines


def sudoku():
    givens = {(0, 1): 1, (1, 1): 4, (1, 3): 3, (2, 3): 1, (3, 2): 2}
    perms = list(itertools.permutations(range(1, 5)))
    lines = []
    for grid in itertools.product(perms, repeat=4):
        if any(grid[r][c] != v for (r, c), v in givens.items()):
            continue
        if any(len({grid[r][c] for r in range(4)}) != 4 for c in range(4)):
            continue
        boxes_ok = all(
            len({grid[r][c] for r in (br, br + 1) for c in (bc, bc + 1)}) == 4
            for br in (0, 2) for bc in (0, 2))
        if not boxes_ok:
            continue
        lines.append(" ".join("".join(map(str, row)) for row in grid))
    return lines


def gifts():
    people = ["甲", "乙", "丙", "丁"]
    lines = []
    for targets in itertools.product(people, repeat=4):
        to = dict(zip(people, targets))
        if len(set(targets)) != 4:
            continue
        if any(to[p] == p or to[to[p]] == p for p in people):
            continue
        if to[to["甲"]] != "丁":
            continue
        if not any(to[p] == "丁" and p == "乙" for p in people):
            continue
        giver = next(p for p in people if to[p] == "甲")
        lines.append("，".join(f"{p}→{to[p]}" for p in people)
                     + "；送礼给甲的是" + giver)
    return lines


PUZZLES = {
    "worked": worked,
    "ranking": ranking,
    "podium": podium,
    "zebra": zebra,
    "liars": liars,
    "race": race,
    "cryptarithm": cryptarithm,
    "sendmore": sendmore,
    "magic": magic,
    "queens": queens,
    "sudoku": sudoku,
    "gifts": gifts,
}


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: examples_oracle.py NAME | --list\n")
        return 2
    if argv[1] == "--list":
        for name in PUZZLES:
            print(name)
        return 0
    solve = PUZZLES.get(argv[1])
    if solve is None:
        sys.stderr.write(f"examples_oracle.py: no puzzle named {argv[1]}\n")
        return 2
    out = sys.stdout.buffer
    for line in solve():
        out.write(line.encode("utf-8") + b"\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

"""What an update changed in a game folder, with the dry run's prediction beside it.

usage: try-compare.py BEFORE AFTER PREDICTION BOXES (run by scripts/try)

BEFORE is the folder as it was, AFTER the copy the updater worked on, PREDICTION the file of
`medium-check --predict`, BOXES what the click-through robot printed. The folders are read with
this script's own walk, with the attributes Wine shows a Windows program (the archive bit on
every file, read-only for a file its owner may not write, hidden for a name that starts with a
dot) and the content hash of the prediction (64-bit FNV-1a). Prints one row per file or folder
that the updater or the prediction changed, marking with "!" each row where they differ, then
the end. Exit code: 0 when the prediction held, or when the updater never reached the update
procedure and the prediction's end was one of it (then it is not held against the run); 1 when
they differ.
"""
import os
import stat
import sys

FNV_START, FNV_PRIME, FNV_MASK = 0xCBF29CE484222325, 0x100000001B3, (1 << 64) - 1
READONLY, HIDDEN, FOLDER, ARCHIVE = 0x1, 0x2, 0x10, 0x20


def content_hash(path):
    h = FNV_START
    with open(path, "rb") as f:
        while chunk := f.read(1 << 20):
            for byte in chunk:
                h = ((h ^ byte) * FNV_PRIME) & FNV_MASK
    return h


class Entry:
    """A file or folder of a state: its name below the game folder ("\\" between parts),
    attributes, size and content hash (read when first asked for, from `path`)."""

    def __init__(self, name, attributes, size, digest=None, path=None):
        self.name, self.attributes, self.size = name, attributes, size
        self._hash, self.path = digest, path

    @property
    def folder(self):
        return bool(self.attributes & FOLDER)

    @property
    def hash(self):
        if self._hash is None:
            self._hash = 0 if self.folder else content_hash(self.path)
        return self._hash

    def same(self, other):
        return (other is not None and self.name == other.name and
                self.attributes == other.attributes and self.size == other.size and
                (self.folder or self.hash == other.hash))


def key(name):
    """Names are one name without regard to the case of a-z, as on Windows."""
    return name.encode("utf-8").upper()


def walk(top):
    state = {}

    def into(folder, below):
        for leaf in sorted(os.listdir(folder)):
            path = os.path.join(folder, leaf)
            st = os.stat(path)
            name = below + ("\\" if below else "") + leaf
            attributes = HIDDEN if leaf.startswith(".") else 0
            if stat.S_ISDIR(st.st_mode):
                state[key(name)] = Entry(name, attributes | FOLDER, 0)
                into(path, name)
            elif stat.S_ISREG(st.st_mode):
                attributes |= ARCHIVE | (0 if st.st_mode & stat.S_IWUSR else READONLY)
                state[key(name)] = Entry(name, attributes, st.st_size, path=path)

    into(top, "")
    return state


def read_prediction(path):
    """The end ("MINIOK", "FAILED", "MOREDISKFREE") and the state; (None, {}) without one."""
    try:
        lines = open(path, encoding="utf-8").read().splitlines()
    except OSError:
        return None, {}
    if len(lines) < 2 or lines[0] != "medium-check prediction 1" or not lines[1].startswith("end "):
        return None, {}
    state = {}
    for line in lines[2:]:
        kind, attributes, size, digest, name = line.split(" ", 4)
        state[key(name)] = Entry(name, int(attributes, 16), 0 if size == "-" else int(size),
                                 0 if digest == "-" else int(digest, 16))
    return lines[1][4:], state


def end_seen(boxes_path):
    """The update procedure's end as the boxes showed it, or None when it was not reached."""
    end = None
    caption = None
    for line in open(boxes_path, encoding="utf-8", errors="replace"):
        line = line.rstrip("\n")
        if line.startswith("  box: "):
            caption = line[7:]
            if caption == "アップデート終了":
                end = "MINIOK"
            elif caption == "ディスク容量の確認":
                end = "MOREDISKFREE"
        elif line.strip() == "アップデートに失敗しました" and caption is not None:
            end = "FAILED"
    return end


def attributes_text(attributes):
    names = [n for bit, n in ((READONLY, "read-only"), (HIDDEN, "hidden")) if attributes & bit]
    return ", ".join(names) or "writable"


def change(before, after):
    """What became of one entry, in words."""
    if before is None and after is None:
        return "absent"
    if after is None:
        return "deleted" + ("" if before.folder else f" ({before.size} bytes)")
    if before is None:
        return "new folder" if after.folder else f"new, {after.size} bytes"
    words = []
    if not after.folder and (before.size != after.size or before.hash != after.hash):
        words.append(f"replaced, {before.size} -> {after.size} bytes")
    if before.attributes != after.attributes:
        words.append(f"{attributes_text(before.attributes)} -> {attributes_text(after.attributes)}")
    if before.name != after.name:
        words.append(f"now spelt {after.name}")
    return ", ".join(words) or "unchanged"


def main(before_dir, after_dir, prediction_path, boxes_path):
    before, after = walk(before_dir), walk(after_dir)
    predicted_end, predicted = read_prediction(prediction_path)
    end = end_seen(boxes_path)
    # "STOPPED": the dry run saw no UPDATE.ENV, so the updater stops before the procedure and
    # the folder stays as it is; any other end is held only against a run that got that far.
    if end is None and predicted_end == "STOPPED":
        end = "STOPPED"
    compare = end is not None and predicted_end is not None
    rows, unchanged, differences = [], [], 0
    for k in sorted(set(before) | set(after) | set(predicted)):
        b, a, p = before.get(k), after.get(k), predicted.get(k)
        if not compare and b is None and a is None:
            continue  # only in a prediction that is not held against this run
        done = change(b, a)
        held = (a is None and p is None) or (a is not None and a.same(p))
        guess = "same" if held else change(b, p)
        if done == "unchanged" and (held or not compare):
            unchanged.append(b.name)
            continue
        mark = "!" if compare and not held else " "
        differences += mark == "!"
        rows.append((mark, (a or b or p).name, done, guess if compare else "-"))
    width = max([len("file")] + [len(r[1]) for r in rows])
    done_width = max([len("the updater did")] + [len(r[2]) for r in rows])
    if rows or compare:
        print(f"  {'file':<{width}}  {'the updater did':<{done_width}}  medium-check predicted")
    for mark, name, done, guess in rows:
        print(f"{mark} {name:<{width}}  {done:<{done_width}}  {guess}")
    if not rows:
        print("  (nothing changed)")
    if predicted_end is None:
        print("medium-check wrote no prediction (see its report above): nothing to hold it "
              "against.")
    elif end is None:
        print(f"The updater did not reach the update procedure (medium-check predicted the end "
              f"{predicted_end}): the prediction is not held against this run.")
    else:
        end_mark = " " if end == predicted_end else "!"
        differences += end_mark == "!"
        print(f"{end_mark} {'end':<{width}}  {end:<{done_width}}  {predicted_end}")
    if unchanged:
        print("  unchanged: " + ", ".join(unchanged))
    if not compare:
        return 0
    if differences:
        print(f"The prediction differs from what the updater did in {differences} place(s), "
              f"marked \"!\".")
        return 1
    print("The prediction held: every name, size, content and attribute, and the end.")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))

#!/usr/bin/env python3
"""Every relative link in the README and the documents under docs/ names a file
or folder that exists. With --self-test: a scratch tree with one good and one
broken link must give exactly the broken one."""
import os
import re
import sys
import tempfile

LINK = re.compile(r"!?\[[^\]]*\]\(\s*<?([^)\s>]+)>?(?:\s+\"[^\"]*\")?\s*\)|<img[^>]*\ssrc=\"([^\"]+)\"")


def broken_links(root):
    documents = [os.path.join(root, "README.md")]
    for folder, _, files in os.walk(os.path.join(root, "docs")):
        documents += [os.path.join(folder, f) for f in files if f.endswith(".md")]
    broken = []
    for doc in documents:
        if not os.path.exists(doc):
            continue
        with open(doc, encoding="utf-8") as f:
            text = f.read()
        text = re.sub(r"```.*?```", "", text, flags=re.S)  # code blocks hold no links
        for match in LINK.finditer(text):
            target = match.group(1) or match.group(2)
            if re.match(r"^[a-z][a-z0-9+.-]*:", target, re.I) or target.startswith("#"):
                continue  # another site, or a place in this page
            path = target.split("#", 1)[0]
            resolved = os.path.normpath(os.path.join(os.path.dirname(doc), path))
            if not os.path.exists(resolved):
                broken.append(f"{os.path.relpath(doc, root)}: {target}")
    return broken


def self_test():
    with tempfile.TemporaryDirectory() as root:
        os.makedirs(os.path.join(root, "docs"))
        with open(os.path.join(root, "README.md"), "w") as f:
            f.write("[ok](docs/a.md) [web](https://example.org/x) [here](#top)\n")
        with open(os.path.join(root, "docs", "a.md"), "w") as f:
            f.write("back to [the README](../README.md#top), ![gone](images/none.png)\n")
        found = broken_links(root)
        if found != ["docs/a.md: images/none.png"]:
            print("self-test failed:", found)
            return 1
    print("self-test passed")
    return 0


if __name__ == "__main__":
    if sys.argv[1:] == ["--self-test"]:
        sys.exit(self_test())
    broken = broken_links(sys.argv[1] if len(sys.argv) > 1 else ".")
    for line in broken:
        print("broken link:", line)
    sys.exit(1 if broken else 0)

#!/usr/bin/env python3
"""Checks that the folders of src/ form layers: no folder reaches, through
its #include lines, a folder that reaches it back. Each src/platform/<layer>
counts as a folder of its own.

Usage: scripts/folder-cycles.py [SRC_DIR]   (default: src next to this script)
Prints each group of folders that include one another, with one include of
each link, and exits 1; prints nothing and exits 0 when there is none."""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def folder_of(rel_path):
    parts = rel_path.split('/')
    if len(parts) < 2:
        return None  # a file at the top of src/ belongs to no folder
    if parts[0] == 'platform' and len(parts) > 2:
        return 'platform/' + parts[1]
    return parts[0]


def include_links(src):
    """(from folder, to folder) -> the first include line that makes the link."""
    links = {}
    for root, _, names in os.walk(src):
        for name in sorted(names):
            if not name.endswith(('.h', '.hpp', '.cpp', '.cc')):
                continue
            path = os.path.join(root, name)
            rel = os.path.relpath(path, src).replace(os.sep, '/')
            here = folder_of(rel)
            with open(path, encoding='utf-8', errors='replace') as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m or not os.path.isfile(os.path.join(src, m.group(1))):
                        continue
                    there = folder_of(m.group(1))
                    if here and there and here != there:
                        links.setdefault((here, there), f'{rel}:{number}')
    return links


def strongly_connected(nodes, edges):
    """Tarjan's algorithm: the groups of nodes that reach one another."""
    index, low, stack, on_stack, groups = {}, {}, [], set(), []

    def visit(v):
        index[v] = low[v] = len(index)
        stack.append(v)
        on_stack.add(v)
        for w in sorted(edges.get(v, ())):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                group.append(w)
                if w == v:
                    break
            if len(group) > 1:
                groups.append(sorted(group))

    for v in sorted(nodes):
        if v not in index:
            visit(v)
    return groups


def main():
    default = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'src')
    src = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else default)
    links = include_links(src)
    edges, nodes = {}, set()
    for a, b in links:
        edges.setdefault(a, set()).add(b)
        nodes.update((a, b))
    groups = strongly_connected(nodes, edges)
    for group in groups:
        print('folders that include one another: ' + ', '.join(group))
        for a, b in sorted(links):
            if a in group and b in group:
                print(f'  {a} -> {b}  ({links[(a, b)]})')
    return 1 if groups else 0


if __name__ == '__main__':
    sys.exit(main())

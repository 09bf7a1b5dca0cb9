#!/usr/bin/env python3
"""The plug-in's layers, checked on its include graph.

Only the command and dialog files (a name with "_command" or "_dialog") and
the application layer (app/) reach the host: no other file of surface/,
products/ or project/, and no file of geometry/, includes host_api.h,
directly or through another header. geometry/ includes nothing of surface/,
products/, project/ or app/; base/ includes nothing outside base/ (so
neither the host's declarations).

Includes are the '#include "..."' lines, resolved as the compiler resolves
them: beside the including file, then on the plug-in's include roots.
Every offending file is printed with its include chain; the exit status is 1
when there is one, 0 when there is none.

  check_seam.py [PLUGIN_DIR]     check the tree (default: ../plugin)
  check_seam.py --self-test      check the checker on a small tree of its own
"""

import collections
import os
import re
import sys
import tempfile

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SOURCE_SUFFIXES = ('.h', '.hpp', '.cpp')
# Beside plugin/ itself, the roots the plug-in's targets publish.
EXTRA_ROOTS = ('host', 'base/utf8')
HOST_HEADER = 'host/host_api.h'
ABOVE_GEOMETRY = ('surface/', 'products/', 'project/', 'app/')
BELOW_THE_SEAM = ('surface/', 'products/', 'project/', 'geometry/')


def sources(root):
    for folder, _, names in os.walk(root):
        for name in sorted(names):
            if name.endswith(SOURCE_SUFFIXES):
                yield os.path.relpath(os.path.join(folder, name), root).replace(os.sep, '/')


def include_graph(root):
    """Every source's resolved includes; the unresolved ones apart."""
    roots = [root] + [os.path.join(root, r) for r in EXTRA_ROOTS]
    graph, unresolved = {}, []
    for file in sources(root):
        found = []
        with open(os.path.join(root, file), encoding='utf-8', errors='replace') as text:
            for number, line in enumerate(text, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                name = match.group(1)
                here = os.path.dirname(os.path.join(root, file))
                for folder in [here] + roots:
                    candidate = os.path.normpath(os.path.join(folder, name))
                    if os.path.isfile(candidate):
                        found.append(os.path.relpath(candidate, root).replace(os.sep, '/'))
                        break
                else:
                    unresolved.append(f'{file}:{number}: "{name}" is not in the plug-in')
        graph[file] = found
    return graph, unresolved


def first_chain(graph, start, wanted):
    """The shortest include chain from start to a file that wanted() accepts."""
    previous = {start: None}
    queue = collections.deque([start])
    while queue:
        file = queue.popleft()
        for included in graph.get(file, ()):
            if included in previous:
                continue
            previous[included] = file
            if wanted(included):
                chain = [included]
                while previous[chain[-1]] is not None:
                    chain.append(previous[chain[-1]])
                return list(reversed(chain))
            queue.append(included)
    return None


def offences(root):
    graph, unresolved = include_graph(root)
    found = list(unresolved)

    def report(file, rule, wanted):
        chain = first_chain(graph, file, wanted)
        if chain:
            found.append(f'{file}: {rule}: ' + ' -> '.join(chain))

    for file in graph:
        name = os.path.basename(file)
        # geometry/ has no command or dialog files: none of its files reaches the host.
        exempt = ('_command' in name or '_dialog' in name) and not file.startswith('geometry/')
        if file.startswith(BELOW_THE_SEAM) and not exempt:
            report(file, 'reaches the host', lambda f: f == HOST_HEADER)
        if file.startswith('geometry/'):
            report(file, 'includes a layer above geometry', lambda f: f.startswith(ABOVE_GEOMETRY))
        if file.startswith('base/'):
            report(file, 'includes outside base', lambda f: not f.startswith('base/'))
    return found


def check(root):
    found = sorted(offences(root))
    for line in found:
        print(line)
    count = sum(1 for _ in sources(root))
    if found:
        print(f'seam check: {len(found)} offence(s) in {count} files of {root}')
        return 1
    print(f'seam check: {count} files of {root}, no offence')
    return 0


def self_test():
    files = {
        'host/host_api.h': '',
        'base/utf8/utf8_codec.h': '',
        'base/status.h': '#include "utf8_codec.h"\n',
        'base/leaky.h': '#include "host_api.h"\n',
        'app/commands.h': '#include "host_api.h"\n',
        'geometry/points.h': '#include "base/status.h"\n',
        'geometry/upward.cpp': '#include "geometry/points.h"\n#include "surface/sweep/front.h"\n',
        'geometry/grid_dialog.h': '#include "host_api.h"\n',
        'surface/sweep/front.h': '#include "geometry/points.h"\n',
        'surface/sweep/front.cpp': '#include "front.h"\n  #  include "base/status.h"\n',
        'surface/sweep/direct.cpp': '#include "host_api.h"\n',
        'surface/sweep/through.cpp': '#include "front.h"\n#include "app/commands.h"\n',
        'surface/triangulate_command.cpp': '#include "app/commands.h"\n',
        'products/mesh/mesh_dialog.h': '#include "host_api.h"\n',
        'products/mesh/mesh_grid.cpp': '#include "products/mesh/mesh_dialog.h"\n',
        'project/state.cpp': '// #include "host_api.h"\n#include "missing.h"\n',
        'app/host_seam.cpp': '#include "host_api.h"\n',
    }
    expected = [
        'base/leaky.h: includes outside base: base/leaky.h -> host/host_api.h',
        'geometry/grid_dialog.h: reaches the host: geometry/grid_dialog.h -> host/host_api.h',
        'geometry/upward.cpp: includes a layer above geometry: geometry/upward.cpp -> '
        'surface/sweep/front.h',
        'products/mesh/mesh_grid.cpp: reaches the host: products/mesh/mesh_grid.cpp -> '
        'products/mesh/mesh_dialog.h -> host/host_api.h',
        'project/state.cpp:2: "missing.h" is not in the plug-in',
        'surface/sweep/direct.cpp: reaches the host: surface/sweep/direct.cpp -> host/host_api.h',
        'surface/sweep/through.cpp: reaches the host: surface/sweep/through.cpp -> '
        'app/commands.h -> host/host_api.h',
    ]
    with tempfile.TemporaryDirectory() as root:
        for name, text in files.items():
            os.makedirs(os.path.dirname(os.path.join(root, name)), exist_ok=True)
            with open(os.path.join(root, name), 'w', encoding='utf-8') as out:
                out.write(text)
        found = sorted(offences(root))
    if found != expected:
        print('seam check self-test: expected\n  ' + '\n  '.join(expected))
        print('found\n  ' + '\n  '.join(found))
        return 1
    print(f'seam check self-test: the {len(expected)} offences found, nothing else')
    return 0


def main(args):
    if args[:1] == ['--self-test']:
        return self_test()
    root = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), '..',
                                             'plugin')
    return check(os.path.normpath(root))


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))

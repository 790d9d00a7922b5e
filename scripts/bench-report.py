#!/usr/bin/env python3
"""Turns the benchmark program's JSON into one table, a CSV and a plot.

Every ratio compares two figures of the same run: load against counting the file's
lines, a search that finds nothing against memmem over the file, and memory against
the file's size. With --commands DIR (hyperfine's JSON from scripts/bench-commands.sh)
it adds the paiview commands, each against a process that only loads the same file.
Usage: bench-report.py RAW.json RESULTS.csv [PLOT.png] [--commands DIR COMMANDS.csv]
"""
import csv
import json
import sys

TARGETS = {  # column: (limit, what it is measured against)
    'load_x_baseline': (3.0, 'line count'),
    'hand_search_x_memmem': (1.5, 'memmem'),
    'peak_rss_x_file': (5.0, 'file size'),
}


def medians(raw):
    """{(benchmark, size): median real time in ms} and {size: memory counters}."""
    times, memory = {}, {}
    for b in raw['benchmarks']:
        name = b['name'].split('/')
        base, size = name[0], int(name[1])
        if base == 'BM_Memory':
            memory[size] = b
        elif b.get('aggregate_name') == 'median':
            factor = {'ns': 1e-6, 'us': 1e-3, 'ms': 1.0, 's': 1e3}[b['time_unit']]
            times[(base, size)] = b['real_time'] * factor
    return times, memory


def rows(raw):
    times, memory = medians(raw)
    out = []
    for size in sorted({s for (_, s) in times}):
        t = lambda name: times.get((name, size), float('nan'))
        m = memory.get(size, {})
        file_mb = m.get('file_bytes', float('nan')) / 1e6
        out.append({
            'half_games': size,
            'hands': int(m.get('hands', 0)),
            'file_mb': round(file_mb, 2),
            'load_ms': round(t('BM_Load'), 2),
            'line_count_ms': round(t('BM_LineCountBaseline'), 3),
            'load_x_baseline': round(t('BM_Load') / t('BM_LineCountBaseline'), 2),
            'load_mb_s': round(file_mb / (t('BM_Load') / 1e3), 1),
            'clear_ms': round(t('BM_Clear'), 2),
            'memmem_ms': round(t('BM_MemmemBaseline'), 3),
            'table_search_ms': round(t('BM_SearchTableName'), 3),
            'yaku_search_ms': round(t('BM_SearchHandYaku'), 3),
            'result_search_ms': round(t('BM_SearchHandResult'), 3),
            'hand_search_x_memmem': round(max(t('BM_SearchHandYaku'), t('BM_SearchHandResult'))
                                          / t('BM_MemmemBaseline'), 2),
            'record_node_bytes': int(m.get('record_node_bytes', 0)),
            'hand_node_bytes': int(m.get('hand_node_bytes', 0)),
            'held_bytes_per_record': round(m.get('held_bytes_per_record', float('nan'))),
            'held_x_file': round(m.get('held_x_file', float('nan')), 2),
            'peak_rss_x_file': round(m.get('peak_rss_x_file', float('nan')), 2),
        })
    return out


def verdict(row, column):
    limit, _ = TARGETS[column]
    return 'ok' if row[column] <= limit else 'OVER'


def print_table(table):
    cols = [('half-games', 'half_games'), ('file MB', 'file_mb'), ('load ms', 'load_ms'),
            ('lines ms', 'line_count_ms'), ('load/lines', 'load_x_baseline'),
            ('MB/s', 'load_mb_s'), ('memmem ms', 'memmem_ms'), ('table ms', 'table_search_ms'),
            ('yaku ms', 'yaku_search_ms'), ('hand/memmem', 'hand_search_x_memmem'),
            ('B/record', 'held_bytes_per_record'), ('B/hand', 'hand_node_bytes'),
            ('held/file', 'held_x_file'), ('peak/file', 'peak_rss_x_file')]
    cells = [[h for h, _ in cols]] + [[str(r[k]) for _, k in cols] for r in table]
    widths = [max(len(row[i]) for row in cells) for i in range(len(cols))]
    for row in cells:
        print('  '.join(c.rjust(w) for c, w in zip(row, widths)))
    for column, (limit, against) in TARGETS.items():
        figures = ', '.join('%s %s' % (r[column], verdict(r, column)) for r in table)
        print('target %s <= %s (against %s): %s' % (column, limit, against, figures))


def plot(table, path):
    import matplotlib
    matplotlib.use('Agg')
    import matplotlib.pyplot as plt
    sizes = [r['file_mb'] for r in table]
    fig, ax = plt.subplots(figsize=(6.4, 4.2), dpi=100)
    ax.loglog(sizes, [r['load_ms'] for r in table], 'o-', label='Paiview load (GameLibrary::load)')
    ax.loglog(sizes, [r['line_count_ms'] for r in table], 's--',
              label='baseline: count lines (fread 1 MiB + memchr)')
    ax.loglog(sizes, [3 * r['line_count_ms'] for r in table], ':', color='grey',
              label='3 x baseline')
    for r in table:
        ax.annotate('%d half-games' % r['half_games'], (r['file_mb'], r['load_ms']),
                    textcoords='offset points', xytext=(-30, 8), fontsize=8)
    ax.set_xlabel('score log size (MB)')
    ax.set_ylabel('time (ms, median)')
    ax.set_title('Load time against file size')
    ax.grid(True, which='both', alpha=0.3)
    ax.legend(fontsize=8)
    fig.tight_layout()
    fig.savefig(path)


# Command rows: (row, hyperfine file, command, baseline, limit of command / baseline).
COMMAND_TARGETS = [
    ('check', 'check', 'check', 'load', 1.2),
    ('list --format csv', 'list_csv', 'list_csv', 'check', 1.3),
    ('stats', 'stats', 'stats', 'check', 1.5),
    ('report', 'report', 'report', 'check', 1.8),
    ('export --format csv', 'export_csv', 'export_csv', 'check', 2.5),
    ('export --format json', 'export_json', 'export_json', 'check', 3.5),
    ('export --format sqlite', 'export_sqlite', 'export_sqlite', 'sqlite3_import', 0.7),
]
BASELINES = {'load': 'plain load', 'check': 'paiview check',
             'sqlite3_import': 'sqlite3 .import'}
# Peak resident memory of a command against the log's size.
MEMORY_LIMITS = {'stats': 2.5, 'export_csv': 2.5, 'export_json': 2.5, 'export_sqlite': 2.5}
REPORT_LIMIT_BYTES = 5_000_000
# The search command's scan of loaded records, in process, against GameLibrary::search.
SCAN_BENCH, SCAN_BASELINE, SCAN_LIMIT = 'BM_CliSearchScan', 'BM_SearchHandYaku', 1.2


def command_rows(raw, folder):
    """One row per command target; absent files are the commands this build lacks."""
    import os
    out = []
    for row, name, command, baseline, limit in COMMAND_TARGETS:
        path = os.path.join(folder, name + '.json')
        if not os.path.exists(path):
            out.append({'row': row, 'status': 'skipped'})
            continue
        with open(path) as f:
            results = {r['command']: r for r in json.load(f)['results']}
        ms = lambda c: results[c]['median'] * 1e3
        ratio = ms(command) / ms(baseline)
        out.append({'row': row, 'command_ms': round(ms(command), 1),
                    'baseline': BASELINES[baseline],
                    'baseline_ms': round(ms(baseline), 1), 'ratio': round(ratio, 2),
                    'limit': limit, 'status': 'ok' if ratio <= limit else 'OVER'})
    memory_path = os.path.join(folder, 'memory.txt')
    log_path = os.path.join(folder, 'log_bytes.txt')
    if os.path.exists(memory_path) and os.path.exists(log_path):
        log_bytes = int(open(log_path).read())
        for line in open(memory_path):
            name, kib = line.split()
            ratio = int(kib) * 1024 / log_bytes
            limit = MEMORY_LIMITS.get(name)
            out.append({'row': 'peak memory of ' + name.replace('_', ' '),
                        'command_ms': '', 'baseline': 'log size', 'baseline_ms': '',
                        'ratio': round(ratio, 2), 'limit': limit,
                        'status': 'ok' if limit is None or ratio <= limit else 'OVER',
                        'bytes': int(kib) * 1024})
    size_path = os.path.join(folder, 'report_bytes.txt')
    if os.path.exists(size_path):
        size = int(open(size_path).read())
        out.append({'row': 'report size (bytes)', 'command_ms': '', 'baseline': '5 MB',
                    'baseline_ms': '', 'ratio': round(size / REPORT_LIMIT_BYTES, 2),
                    'limit': 1.0, 'status': 'ok' if size < REPORT_LIMIT_BYTES else 'OVER',
                    'bytes': size})
    else:
        out.append({'row': 'report size (bytes)', 'status': 'skipped'})
    times, _ = medians(raw)
    size = max((s for (n, s) in times if n == SCAN_BENCH), default=None)
    if size is None:
        out.append({'row': 'search scan', 'status': 'skipped'})
    else:
        ratio = times[(SCAN_BENCH, size)] / times[(SCAN_BASELINE, size)]
        out.append({'row': 'search scan', 'command_ms': round(times[(SCAN_BENCH, size)], 1),
                    'baseline': 'GameLibrary::search',
                    'baseline_ms': round(times[(SCAN_BASELINE, size)], 1),
                    'ratio': round(ratio, 2), 'limit': SCAN_LIMIT,
                    'status': 'ok' if ratio <= SCAN_LIMIT else 'OVER'})
    return out


def print_commands(table):
    cols = ['row', 'command_ms', 'baseline', 'baseline_ms', 'ratio', 'limit', 'status']
    cells = [['what', 'ms', 'against', 'ms', 'ratio', 'limit', '']]
    for r in table:
        cells.append([str(r.get(c, '')) for c in cols])
    widths = [max(len(row[i]) for row in cells) for i in range(len(cols))]
    for row in cells:
        print('  '.join(c.ljust(w) if i in (0, 2) else c.rjust(w)
                        for i, (c, w) in enumerate(zip(row, widths))).rstrip())


def main():
    args = sys.argv[1:]
    commands = None
    if '--commands' in args:
        at = args.index('--commands')
        commands = args[at + 1:at + 3]
        del args[at:at + 3]
    sys.argv[1:] = args
    raw_path, csv_path = sys.argv[1], sys.argv[2]
    with open(raw_path) as f:
        raw = json.load(f)
    table = rows(raw)
    with open(csv_path, 'w', newline='') as f:
        writer = csv.DictWriter(f, fieldnames=list(table[0].keys()))
        writer.writeheader()
        writer.writerows(table)
    print_table(table)
    if len(sys.argv) > 3:
        try:
            plot(table, sys.argv[3])
        except ImportError:
            print('bench: no matplotlib, no plot', file=sys.stderr)
    if commands:
        table = command_rows(raw, commands[0])
        print()
        print_commands(table)
        with open(commands[1], 'w', newline='') as f:
            writer = csv.DictWriter(f, fieldnames=['row', 'command_ms', 'baseline', 'baseline_ms',
                                                   'ratio', 'limit', 'status', 'bytes'])
            writer.writeheader()
            writer.writerows(table)


if __name__ == '__main__':
    main()

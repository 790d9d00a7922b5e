#!/usr/bin/env python3
"""Turns the benchmark program's JSON into one table, a CSV and a plot.

Every ratio compares two figures of the same run: load against counting the file's
lines, a search that finds nothing against memmem over the file, and memory against
the file's size. Usage: bench-report.py RAW.json RESULTS.csv [PLOT.png]
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


def main():
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


if __name__ == '__main__':
    main()

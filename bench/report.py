#!/usr/bin/env python3
# Copyright 2026 The zorv_interfaces authors.
# Licensed under the Apache License, Version 2.0.
"""Run the benchmarks and instruction counts of a build and write them as Markdown.

    bench/report.py BUILD_DIR OUTPUT.md

Times come from bench_type_support (Google Benchmark, medians of repetitions),
each next to its baseline of the same run; instruction counts from the
callgrind-based test_instruction_counts, which records them; the load cost
from the library's dynamic relocations. Where the build has Cyclone DDS,
bench_codec pairs the record-driven codec with Cyclone's serializer and
bench_round_trip a typesupport-service call with a native one.
"""

import json
import os
import platform
import re
import subprocess
import sys
import tempfile

LIBRARY = 'libzorv_interfaces__rosidl_typesupport_introspection_c.so'
REPETITIONS = 5

# (measured, baseline, what the pair shows)
PAIRS = [
    ('BM_RequestGetter', 'BM_Baseline_ConstantAddress',
     'request getter, steady state'),
    ('BM_ResponseGetter', 'BM_Baseline_ConstantAddress',
     'response getter, steady state'),
    ('BM_ServiceGetter', 'BM_Baseline_ConstantAddress',
     'service getter, steady state'),
    ('BM_LoadFirstServiceCallUnload', 'BM_LoadUnload',
     'dlopen + first service-getter call + dlclose'),
    ('BM_LoadUnload', 'BM_Baseline_LoadUnloadMinimal',
     'dlopen + dlclose of the library (dependencies already loaded)'),
    ('BM_InitFiniThroughAdaptors', 'BM_Baseline_InitFiniDirect',
     'request init + fini through the adaptors'),
] + [
    ('BM_RacedFirstServiceCall/%d/real_time' % n,
     'BM_Baseline_RacedConstantAddress/%d/real_time' % n,
     'fresh load, first service-getter call raced by %d threads' % n)
    for n in (2, 4, 8)
]

# The codec and the service, against Cyclone DDS (bench_codec, bench_round_trip).
CODEC_CASES = [('0', 'StringCommand request, "go to dock 7"'),
               ('1', 'StringCommand request, 64 KiB command'),
               ('2', 'fixture Wire message, every kind of field')]
DDS_PAIRS = [
    ('BM_Records_%s/%s' % (what, arg), 'BM_Cyclone_%s/%s' % (what, arg), '%s: %s' % (what.lower(), text))
    for what in ('Serialize', 'Deserialize') for arg, text in CODEC_CASES
] + [
    ('BM_Records_RoundTrip/min_time:2.000/real_time', 'BM_Native_RoundTrip/min_time:2.000/real_time',
     'a call on loopback, one client'),
]

BASELINE_TEXT = {
    'BM_Baseline_ConstantAddress': 'a function returning a constant address, in another shared object',
    'BM_LoadUnload': 'dlopen + dlclose alone',
    'BM_Baseline_LoadUnloadMinimal': 'dlopen + dlclose of a minimal shared object',
    'BM_Baseline_InitFiniDirect': "the message library's init + fini called directly",
}

# (function, target instructions per steady-state call)
INSTRUCTION_TARGETS = [
    ('rosidl_typesupport_introspection_c__get_message_type_support_handle__'
     'zorv_interfaces__srv__StringCommand_Request', 5),
    ('rosidl_typesupport_introspection_c__get_message_type_support_handle__'
     'zorv_interfaces__srv__StringCommand_Response', 5),
    ('rosidl_typesupport_introspection_c__get_service_type_support_handle__'
     'zorv_interfaces__srv__StringCommand', 6),
    ('StringCommand_Request__rosidl_typesupport_introspection_c__StringCommand_Request_init_function', 1),
    ('StringCommand_Request__rosidl_typesupport_introspection_c__StringCommand_Request_fini_function', 1),
    ('StringCommand_Response__rosidl_typesupport_introspection_c__StringCommand_Response_init_function', 1),
    ('StringCommand_Response__rosidl_typesupport_introspection_c__StringCommand_Response_fini_function', 1),
]


def run(command, **kwargs):
    return subprocess.run(command, check=True, capture_output=True, text=True, **kwargs).stdout


def benchmark_medians(build, program='bench_type_support'):
    with tempfile.NamedTemporaryFile(suffix='.json') as out:
        subprocess.run(
            [os.path.join(build, 'bench', program),
             '--benchmark_repetitions=%d' % REPETITIONS,
             '--benchmark_report_aggregates_only=true',
             '--benchmark_out_format=json', '--benchmark_out=' + out.name],
            check=True, stdout=sys.stderr)
        report = json.load(open(out.name))
    medians = {}
    counters = {}
    for entry in report['benchmarks']:
        if entry.get('aggregate_name') == 'median':
            medians[entry['run_name']] = entry['real_time']
            counters[entry['run_name']] = {
                key: value for key, value in entry.items()
                if key.endswith('_per_call') or key == 'calls_per_second'}
    return report['context'], medians, counters


def instructions_per_call(build):
    """Per-call counts as the instruction-count test measures and records them."""
    with tempfile.NamedTemporaryFile(suffix='.json') as out:
        subprocess.run(
            [os.path.join(build, 'test', 'test_instruction_counts'), '--gtest_output=json:' + out.name],
            check=True, capture_output=True)
        report = json.load(open(out.name))
    recorded = {}
    for suite in report['testsuites']:
        for test in suite['testsuite']:
            recorded.update({key: float(value) for key, value in test.items()
                             if key in dict(INSTRUCTION_TARGETS)})
    return recorded


def dynamic_relocations(path):
    text = run(['readelf', '--relocs', '--wide', path])
    counts = {}
    for line in text.splitlines():
        match = re.match(r'^[0-9a-f]{12,16}\s+[0-9a-f]+\s+(R_X86_64_\w+)', line)
        if match:
            counts[match.group(1)] = counts.get(match.group(1), 0) + 1
    return counts


def compile_command(build):
    """The command that compiled the library's source, without paths."""
    commands = json.load(open(os.path.join(build, 'compile_commands.json')))
    for entry in commands:
        if entry['file'].endswith('string_command__type_support.cpp'):
            words = entry['command'].split()
            kept = [w for w in words[1:] if w.startswith(('-O', '-f', '-std', '-W', '-g', '-m'))]
            return os.path.basename(words[0]), ' '.join(kept)
    return '?', '?'


def machine():
    model = '?'
    for line in open('/proc/cpuinfo'):
        if line.startswith('model name'):
            model = line.split(':', 1)[1].strip()
            break
    memory = '?'
    for line in open('/proc/meminfo'):
        if line.startswith('MemTotal'):
            memory = '%.0f GiB' % (int(line.split()[1]) / 1024 / 1024)
    return '%s, %d cores, %s, Linux %s' % (model, os.cpu_count(), memory, platform.release())


def format_time(nanoseconds):
    if nanoseconds >= 1000:
        return '%.1f µs' % (nanoseconds / 1000)
    return '%.2f ns' % nanoseconds


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    build, output = sys.argv[1], sys.argv[2]

    context, medians, _ = benchmark_medians(build)
    dds = os.path.exists(os.path.join(build, 'bench', 'bench_codec'))
    if dds:
        _, codec_medians, _ = benchmark_medians(build, 'bench_codec')
        _, trip_medians, trip_counters = benchmark_medians(build, 'bench_round_trip')
        dds_medians = dict(codec_medians, **trip_medians)
    per_call = instructions_per_call(build)
    relocations = dynamic_relocations(os.path.join(build, LIBRARY))
    baseline_relocations = dynamic_relocations(
        os.path.join(build, 'bench', 'libzorv_bench_baseline.so'))
    heap_test = subprocess.run(
        [os.path.join(build, 'test', 'test_heap_calls')], capture_output=True, text=True)
    compiler, flags = compile_command(build)
    compiler_version = run([compiler, '--version']).splitlines()[0]

    lines = [
        '# Benchmarks',
        '',
        'Written by `make bench` (`bench/report.py`); every figure below comes from one run.',
        '',
        '- Machine: %s' % machine(),
        '- Compiler: %s' % compiler_version,
        '- Library compiled with: `%s`' % flags,
        '- Google Benchmark, median of %d repetitions, real time%s' % (
            REPETITIONS,
            '; the Debian build of Google Benchmark is a debug build, which affects its own '
            'overhead equally on both sides of each pair' if context.get('library_build_type') == 'debug'
            else ''),
        '',
        '## Time, against baselines of the same run',
        '',
        'A ratio is the time over its baseline; on this shared virtual machine, ratios within '
        'about 10 % of 1 are noise.',
        '',
        '| what | time | baseline | baseline time | ratio |',
        '|---|---:|---|---:|---:|',
    ]
    for measured, baseline, text in PAIRS:
        if measured not in medians or baseline not in medians:
            continue
        base_name = re.sub(r'/\d+/real_time$', '', baseline)
        base_text = BASELINE_TEXT.get(
            base_name, 'the same threads and load, calling a constant-address function')
        lines.append('| %s | %s | %s | %s | %.2f |' % (
            text, format_time(medians[measured]), base_text, format_time(medians[baseline]),
            medians[measured] / medians[baseline]))

    if dds:
        records_trip, native_trip = DDS_PAIRS[-1][0], DDS_PAIRS[-1][1]
        lines += [
            '',
            '## The codec and the service, against Cyclone DDS',
            '',
            "The record-driven codec against Cyclone's own serializer (`dds_stream_write`, "
            '`dds_stream_read` on the `idlc` twin), each serializing into a fresh buffer and '
            'deserializing into a message kept across iterations; then a call on loopback, '
            'client and server in one process on participants of their own, through '
            "typesupport-service's binding and codec against a native client and server of the "
            'twin. Goal: codec 1.0 or less, call within 1.1.',
            '',
            '| what | records | Cyclone | ratio |',
            '|---|---:|---:|---:|',
        ]
        for measured, baseline, text in DDS_PAIRS:
            if measured in dds_medians and baseline in dds_medians:
                lines.append('| %s | %s | %s | %.2f |' % (
                    text, format_time(dds_medians[measured]), format_time(dds_medians[baseline]),
                    dds_medians[measured] / dds_medians[baseline]))
        if records_trip in trip_counters and native_trip in trip_counters:
            ours, theirs = trip_counters[records_trip], trip_counters[native_trip]
            lines += [
                '',
                'Calls per second, one client: %.0f through typesupport-service\'s binding, '
                '%.0f native.' % (ours['calls_per_second'], theirs['calls_per_second']),
                '',
                '| heap allocations per call | records | native |',
                '|---|---:|---:|',
            ]
            for key, text in (('client_allocations_per_call', "client's thread"),
                              ('server_allocations_per_call', "server's thread"),
                              ('dds_thread_allocations_per_call', "Cyclone's own threads")):
                lines.append('| %s | %.1f | %.1f |' % (text, ours[key], theirs[key]))

    lines += [
        '',
        '## Instructions per steady-state call (callgrind)',
        '',
        'Exact counts, independent of machine noise: two runs of the call driver that differ only '
        'in the number of calls, the difference divided by the extra calls. The adaptors are '
        "counted alone (their own instructions, not the message library's). "
        '`test_instruction_counts` fails the suite when a count goes over its target.',
        '',
        '| function | instructions | target |',
        '|---|---:|---:|',
    ]
    for name, target in INSTRUCTION_TARGETS:
        lines.append('| `%s` | %g | ≤ %d |' % (name, per_call[name], target))

    lines += [
        '',
        '## Load cost',
        '',
        '| object | dynamic relocations |',
        '|---|---:|',
        '| `%s` | %d (%s) |' % (LIBRARY, sum(relocations.values()),
                              ', '.join('%s %d' % kv for kv in sorted(relocations.items()))),
        '| minimal shared object (`libzorv_bench_baseline.so`) | %d (%s) |' % (
            sum(baseline_relocations.values()),
            ', '.join('%s %d' % kv for kv in sorted(baseline_relocations.items()))),
        '',
        'The `dlopen` + `dlclose` times of both are in the first table.',
        '',
        '## Heap',
        '',
        '`test_heap_calls` counts every `malloc`, `calloc`, `realloc` and `free` of the process '
        'during the first calls of the three getters and a million steady-state calls of each: '
        + ('0 heap calls.' if heap_test.returncode == 0 else
           '**the test failed** (exit %d).' % heap_test.returncode),
        '',
    ]
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    with open(output, 'w') as out:
        out.write('\n'.join(lines))
    print('wrote %s' % output)


if __name__ == '__main__':
    main()

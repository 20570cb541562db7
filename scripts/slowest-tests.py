#!/usr/bin/env python3
"""Prints the slowest tests of a run from the XML reports the test programs leave in one folder.

Usage: slowest-tests.py REPORT_DIR [COUNT]
"""
import pathlib
import sys
import xml.etree.ElementTree as ElementTree


def test_times(report_dir):
    for report in sorted(pathlib.Path(report_dir).glob("*.xml")):
        try:
            root = ElementTree.parse(report).getroot()
        except ElementTree.ParseError:
            # A program that died while writing leaves half a report; its failure is reported elsewhere.
            continue
        for case in root.iter("testcase"):
            yield float(case.get("time", "0")), report.stem, f"{case.get('classname')}.{case.get('name')}"


def main():
    report_dir = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    times = sorted(test_times(report_dir), reverse=True)
    if not times:
        print(f"no test reports in {report_dir}")
        return
    total = sum(seconds for seconds, _, _ in times)
    print(f"slowest of {len(times)} tests ({total:.1f} s in all, programs side by side):")
    for seconds, program, test in times[:count]:
        print(f"  {seconds:7.3f} s  {program}  {test}")


if __name__ == "__main__":
    main()

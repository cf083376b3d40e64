#!/usr/bin/env python3
"""Reproducible builds: copies the sources to another folder, configures and builds
a second cross tree there with the reference tree's settings, and compares the two
Quindle.dll files byte for byte. On a difference it names the first differing
offset and the PE section it falls in."""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

import pe_image
from check_report import Report

# Cache entries of the reference tree that shape the DLL.
CARRIED_CACHE_ENTRIES = ("CMAKE_BUILD_TYPE", "QUINDLE_VENDOR", "QUINDLE_HOMEPAGE")


def toolchain_path(cache, build_dir):
    """The reference tree's toolchain file, found as CMake finds a relative one: in the build
    tree first, then in the source tree."""
    path = cache["CMAKE_TOOLCHAIN_FILE"]
    if not os.path.isabs(path):
        in_build = os.path.join(build_dir, path)
        path = in_build if os.path.exists(in_build) else os.path.join(cache["CMAKE_HOME_DIRECTORY"], path)
    return os.path.realpath(path)


def read_cache(build_dir):
    entries = {}
    with open(os.path.join(build_dir, "CMakeCache.txt"), encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith(("#", "//")) or "=" not in line:
                continue
            key_type, value = line.split("=", 1)
            entries[key_type.split(":", 1)[0]] = value
    return entries


def copy_sources(source_dir, target_dir):
    """The source tree without .git, the top-level build/ folder or any other build
    tree (a folder holding a CMakeCache.txt)."""
    def ignore(folder, names):
        skipped = {".git"} & set(names)
        if os.path.samefile(folder, source_dir) and "build" in names:
            skipped.add("build")
        for name in names:
            if os.path.isfile(os.path.join(folder, name, "CMakeCache.txt")):
                skipped.add(name)
        return skipped
    shutil.copytree(source_dir, target_dir, ignore=ignore, symlinks=True)


def where(image_bytes, offset):
    try:
        image = pe_image.PeImage(image_bytes)
    except pe_image.PeFormatError:
        return "not a PE image"
    if offset < image.section_table_offset + 40 * len(image.sections):
        return "PE headers"
    for s in image.sections:
        if s.raw_offset <= offset < s.raw_offset + s.raw_size:
            return "section %s, RVA 0x%x" % (s.name, s.rva + offset - s.raw_offset)
    return "outside every section"


def compare(report, reference, rebuilt):
    with open(reference, "rb") as f:
        a = f.read()
    with open(rebuilt, "rb") as f:
        b = f.read()
    report.expect_equal("Quindle.dll", "size of the rebuilt DLL", len(b), len(a))
    differing = [i for i in range(min(len(a), len(b))) if a[i] != b[i]]
    if differing:
        first = differing[0]
        report.fail("Quindle.dll", "%d bytes differ; the first at offset 0x%x (%s)"
                    % (len(differing), first, where(a, first)))
    elif len(a) == len(b):
        report.passed += 1


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--source", required=True)
    parser.add_argument("--reference-build", required=True)
    parser.add_argument("--cmake", default="cmake")
    args = parser.parse_args()
    report = Report("reproducible build of Quindle.dll")

    source = os.path.realpath(args.source)
    cache = read_cache(args.reference_build)
    toolchain = toolchain_path(cache, args.reference_build)
    with tempfile.TemporaryDirectory(prefix="quindle-rebuild-") as scratch:
        copy = os.path.join(scratch, "another-checkout")
        build = os.path.join(scratch, "another-build-folder")
        copy_sources(source, copy)
        if toolchain.startswith(source + os.sep):  # the copy's own toolchain file
            toolchain = os.path.join(copy, os.path.relpath(toolchain, source))
        configure = [args.cmake, "-S", copy, "-B", build, "-DCMAKE_TOOLCHAIN_FILE=" + toolchain]
        configure += ["-D%s=%s" % (k, cache[k]) for k in CARRIED_CACHE_ENTRIES if k in cache]
        steps = [configure,
                 [args.cmake, "--build", build, "--target", "quindle", "--parallel"]]
        for step in steps:
            done = subprocess.run(step, capture_output=True, text=True)
            if done.returncode:
                sys.stdout.write(done.stdout[-4000:] + done.stderr[-4000:])
                report.fail("build", "%s exited with %d" % (" ".join(step[:3]), done.returncode))
                sys.exit(report.finish())
        compare(report, os.path.join(args.reference_build, "Quindle.dll"),
                os.path.join(build, "Quindle.dll"))
    if report.failures:
        print("(the reference must be built from the current sources: rebuild %s first)"
              % args.reference_build)
    sys.exit(report.finish())


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
# Counts the ways a failure is handed back, over the non-test headers of the
# folders below: one style is one shape of declaration, listed with its uses
# (-v names each). PaintResult is the one the core means to use; the others
# are what is left to convert or kept on purpose (the C library's reason
# call, the Win32 side's own outcome, pure rules on names that answer with
# a text). Run from the repository: tools/count_error_styles.py [root] [-v]
import re, sys, glob, os
root = sys.argv[1] if len(sys.argv) > 1 else '.'
folders = ['paint', 'platform', 'platform/win32', 'conversion', 'preview', 'cli', 'app', 'controls', 'tools/thumbnailer']
files = [f for d in folders for f in sorted(glob.glob(os.path.join(root, d, '*.h')))]
files.append(os.path.join(root, 'korrad/korrad.h'))
styles = {
    'PaintResult': r'\bPaintResult\b(?!\.h)',
    'bool/optional/QString + QString* reason out-parameter': r'(?<!const )QString\s*\*\s*(?!existingName)\w+\s*[,)=]',
    'SettingsError exception': r'\bSettingsError\b',
    'FileVerdict (own allowed flag + reason + message())': r'\bbool allowed\b|QString message\(\) const;',
    'AircraftInstallResult (QStringList problems)': r'QStringList problems;',
    # Empty text = fine: name rules (problemWith...) and file operations.
    'QString-as-reason (problemWith..., applyPaint, ensureBackup...)': r'\bQString\s+(problemWith\w*|applyPaint|keepMainTextureContent|ensureBackup|mainTextureProblem)\s*\(',
    'errorString() object': r'\berrorString\s*\(\s*\)\s*const',
    'Win32 Outcome': r'\bOutcome\b(?!\.h)',
    "korrad's C reason call": r'_Pic_FailureReason\s*\(',
}
total = 0
for name, pattern in styles.items():
    rx = re.compile(pattern)
    uses = []
    for f in files:
        if not os.path.exists(f): continue
        for n, line in enumerate(open(f, encoding='utf-8', errors='replace'), 1):
            if line.lstrip().startswith('//'): continue
            if rx.search(line): uses.append(f'{os.path.relpath(f, root)}:{n}')
    if uses:
        total += 1
    print(f'{len(uses):4d}  {name}')
    if '-v' in sys.argv:
        for u in uses: print('        ' + u)
print(f'styles in use: {total}')

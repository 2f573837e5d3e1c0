#!/usr/bin/env python3
"""The release as a user gets it: runs scripts/package on the 32-bit deliverables of this build and
checks the files it makes in a scratch folder.

    check_package.py SOURCE DELIVERABLES WORK

- dist holds exactly the three files, named with the player's version, and SHA256SUMS matches them;
- the player zip holds exactly its four files in one folder; velmora.exe and Tarvik.dll are 32-bit PE
  files that import only system DLLs (and the player Tarvik.dll); guide.txt and notice.txt are UTF-8
  with a byte-order mark and CRLF line ends; the guide names every accelerator of the player;
- the kit's example builds with the README's one command and the i686 compiler;
- the installer: its contents listed with 7-Zip; where this machine runs 32-bit code, in a scratch
  Wine prefix: the unpacked zip's player run and closed (velmora.ini beside it), a silent install, the
  installed player started, a silent install refused while it runs, a second install over the first,
  and a silent uninstall that keeps velmora.ini.
"""
import hashlib
import io
import os
import re
import shlex
import shutil
import subprocess
import sys
import time
import zipfile

src, deliv, work = (os.path.abspath(a) for a in sys.argv[1:4])
failures = []


def check(cond, what, actual=None):
    if cond:
        print('ok:', what)
    else:
        failures.append(what)
        print('FAIL:', what, '' if actual is None else '- actual: %r' % (actual,))
    return cond


def run(cmd, **kw):
    return subprocess.run(cmd, check=True, capture_output=True, text=True, **kw).stdout


def rc_text(path):
    return open(os.path.join(src, path), 'rb').read().decode('cp932')


# What the sources say: the release version (the player's product version), the library's file
# version, the web address and the accelerators.
player_rc = rc_text('player/velmora.rc')
pv = [int(x) for x in re.search(r'PRODUCTVERSION\s+([\d, ]+)', player_rc).group(1).split(',')]
version = '.'.join(map(str, pv if pv[3] else pv[:3]))
lv = re.search(r'FILEVERSION\s+([\d, ]+)', rc_text('library/tarvik.rc')).group(1).split(',')
libversion = '.'.join(x.strip() for x in lv)
web = re.search(r'IDS_WEB_ADDRESS\s+"([^"]*)"', player_rc).group(1)
check('"Ver %s"' % version in player_rc, 'the about box shows the release version ' + version)

shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)
dist = os.path.join(work, 'dist')
t0 = time.time()
subprocess.run([os.path.join(src, 'scripts/package'), '--from', deliv, '--out', dist], check=True,
               stdout=subprocess.DEVNULL)
print('figure: scripts/package on the built deliverables took %.1f s' % (time.time() - t0))

app = 'velmora-%s-win32' % version
setup = 'velmora-%s-setup.exe' % version
sdk = 'Tarvik-%s-sdk' % version
made = sorted(os.listdir(dist))
check(made == sorted([app + '.zip', setup, sdk + '.zip', 'SHA256SUMS']), 'dist holds the three files and SHA256SUMS', made)
sums = {}
for line in open(os.path.join(dist, 'SHA256SUMS')):
    digest, name = line.split()
    sums[name] = digest
actual = {n: hashlib.sha256(open(os.path.join(dist, n), 'rb').read()).hexdigest() for n in made if n != 'SHA256SUMS'}
check(sums == actual, 'SHA256SUMS lists the three files with their checksums', sums)


def files_of(zip_path):
    with zipfile.ZipFile(zip_path) as z:
        return {i.filename: z.read(i) for i in z.infolist() if not i.is_dir()}


player = files_of(os.path.join(dist, app + '.zip'))
expected = {app + '/' + n for n in ('velmora.exe', 'Tarvik.dll', 'guide.txt', 'notice.txt')}
check(set(player) == expected, 'the player zip holds exactly %s/{velmora.exe,Tarvik.dll,guide.txt,notice.txt}' % app, sorted(player))

SYSTEM_DLLS = {'kernel32.dll', 'user32.dll', 'gdi32.dll', 'advapi32.dll', 'comdlg32.dll', 'comctl32.dll',
               'shell32.dll', 'ole32.dll', 'oleaut32.dll', 'winmm.dll', 'msimg32.dll', 'version.dll',
               'msvcrt.dll', 'shlwapi.dll', 'ws2_32.dll'}


def pe_check(name, data, must_import):
    path = os.path.join(work, os.path.basename(name))
    open(path, 'wb').write(data)
    fmt = run(['i686-w64-mingw32-objdump', '-f', path])
    check('file format pei-i386' in fmt, name + ' is a 32-bit PE file')
    dlls = re.findall(r'DLL Name: (\S+)', run(['i686-w64-mingw32-objdump', '-p', path]))
    others = [d for d in dlls if d.lower() not in SYSTEM_DLLS and d != must_import]
    check(not others, name + ' imports only system DLLs' + (' and ' + must_import if must_import else ''), dlls)
    if must_import:
        check(must_import in dlls, name + ' imports ' + must_import, dlls)


pe_check(app + '/velmora.exe', player[app + '/velmora.exe'], 'Tarvik.dll')
pe_check(app + '/Tarvik.dll', player[app + '/Tarvik.dll'], None)


def windows_text(name, data):
    """UTF-8 with a byte-order mark and CRLF line ends: what Notepad shows correctly."""
    ok = data.startswith(b'\xef\xbb\xbf') and b'\n' in data and not re.search(rb'(?<!\r)\n', data)
    try:
        text = data[3:].decode('utf-8')
    except UnicodeDecodeError as e:
        text, ok = '', False
        print('  ', name, e)
    check(ok, name + ' is UTF-8 with a byte-order mark and CRLF line ends', data[:40])
    return text


guide = windows_text('guide.txt', player[app + '/guide.txt'])
notice = windows_text('notice.txt', player[app + '/notice.txt'])
check('耳コピ' in guide and '<!--' not in guide and '](images/' not in guide,
      'guide.txt is the Japanese guide without comments and image links')
check(version in notice and web in notice and 'Tarvik ' + libversion in notice,
      'notice.txt names the version %s, the web address and Tarvik %s' % (version, libversion), notice)

# Every accelerator of the player, written the way the guide writes keys.
KEYS = {'VK_SPACE': 'Space', 'VK_ADD': 'テンキー+', 'VK_SUBTRACT': 'テンキー-', 'VK_MULTIPLY': 'テンキー*',
        'VK_DIVIDE': 'テンキー/', 'VK_LEFT': '←', 'VK_RIGHT': '→', 'VK_UP': '↑', 'VK_DOWN': '↓',
        'VK_RETURN': 'Enter', 'VK_DELETE': 'Delete', 'VK_BACK': 'BackSpace', 'VK_ESCAPE': 'Esc'}
table = re.search(r'ACCELERATORS\s*BEGIN(.*?)\nEND', player_rc, re.S).group(1)
missing = []
for line in table.strip().splitlines():
    fields = [f.strip() for f in line.split(',')]
    key = fields[0].strip('"')
    mods = [m for m, flag in (('Ctrl', 'CONTROL'), ('Shift', 'SHIFT'), ('Alt', 'ALT')) if flag in fields[2:]]
    text = ' + '.join(mods + [KEYS.get(key, key[3:] if key.startswith('VK_') else key)])
    if '`%s`' % text not in guide:
        missing.append(text)
check(not missing, 'the guide lists every accelerator of velmora.rc', missing)
images = re.findall(r'!\[[^\]]*\]\((images/[^)]+)\)', open(os.path.join(src, 'docs/guide.ja.md'), encoding='utf-8').read())
def is_png(path):
    return os.path.isfile(path) and open(path, 'rb').read(8).startswith(b'\x89PNG')


absent = [i for i in images if not is_png(os.path.join(src, 'docs', i))]
check(images and not absent, 'the %d screenshots of the guide are PNG files in docs/images' % len(images), absent)

# The developer kit: its files, and its example built with the README's command.
kit = files_of(os.path.join(dist, sdk + '.zip'))
headers = ['tarvik.h'] + re.findall(r'#include "([^"]+)"', open(os.path.join(src, 'library/tarvik.h')).read())
expected = {sdk + '/' + n for n in ['include/' + h for h in headers] +
            ['lib/libTarvik.dll.a', 'lib/tarvik.def', 'bin/Tarvik.dll', 'example/example.cpp', 'README.txt']}
check(set(kit) == expected, 'the kit holds the %d headers, the import library, tarvik.def, Tarvik.dll, the example and README.txt' % len(headers),
      sorted(set(kit) ^ expected))
check(kit[sdk + '/bin/Tarvik.dll'] == player[app + '/Tarvik.dll'], "the kit's Tarvik.dll is the player's")
readme = windows_text('README.txt', kit[sdk + '/README.txt'])
line = next((l.strip() for l in readme.splitlines() if l.strip().startswith('g++ ')), '')
with zipfile.ZipFile(os.path.join(dist, sdk + '.zip')) as z:
    z.extractall(work)
root = os.path.join(work, sdk)
build = subprocess.run(['i686-w64-mingw32-g++-posix'] + shlex.split(line)[1:], cwd=root, capture_output=True, text=True)
check(build.returncode == 0 and os.path.exists(os.path.join(root, 'bin/example.exe')),
      "the kit's example builds and links with the README's line: " + line, build.stderr[-2000:])

wine_env = run(['bash', '-c', '. "$1/scripts/wine-env"; echo $VELMORA_TEST_ARCH $WINE $WINESERVER $WINEARCH $WINELOADER',
                '-', src]).split()
runs_32 = wine_env[0] == 'i686'
if runs_32 and build.returncode == 0:
    out = run([os.path.join(src, 'scripts/wine-run'), os.path.join(root, 'bin/example.exe')])
    check('Tarvik ' + libversion in out, 'the example runs beside the kit\'s Tarvik.dll', out)

# The installer: its contents through 7-Zip.
setup_path = os.path.join(dist, setup)
listing = run(['7z', 'l', '-slt', setup_path])
inside = [p for p in re.findall(r'^Path = (.*)$', listing, re.M)[1:] if not p.startswith('$PLUGINSDIR')]
check(sorted(inside) == sorted(['velmora.exe', 'Tarvik.dll', 'guide.txt', 'notice.txt', 'uninstall.exe']),
      'the installer holds the player, the library, the guide, the notice and its uninstaller', inside)
for name in ('velmora.exe', 'Tarvik.dll', 'guide.txt'):
    data = subprocess.run(['7z', 'e', '-so', setup_path, name], check=True, capture_output=True).stdout
    check(data == player[app + '/' + name], 'the installer\'s %s is the zip\'s' % name)
exe = open(setup_path, 'rb').read()
check(b'level="asInvoker"' in exe and b'PE\0\0\x4c\x01' in exe,
      'the installer is a 32-bit program that asks for no administrator rights')

if not runs_32:
    print('SKIPPED: the silent install, start and uninstall of %s: this machine cannot execute 32-bit '
          'code (the 32-bit Wine does not start, see scripts/wine-env); its contents were checked with 7-Zip' % setup)
else:
    wine, wineserver = wine_env[1], wine_env[2]
    harness = os.environ['VELMORA_HARNESS']
    env = dict(os.environ, WINEPREFIX=os.path.join(work, 'prefix'), HOME=os.path.join(work, 'home'),
               WINESERVER=wineserver, WINEARCH=wine_env[3], WINELOADER=wine_env[4],
               WINEDEBUG='-all', LANG='ja_JP.UTF-8', LC_ALL='ja_JP.UTF-8',
               WINEDLLOVERRIDES='winemenubuilder.exe=d;mscoree=d;mshtml=d',
               DISPLAY=open(os.path.join(harness, 'display')).read().strip())
    os.makedirs(env['HOME'])
    key = r'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\velmora'

    def wine_run(*args):
        r = subprocess.run([wine] + list(args), env=env, capture_output=True)
        subprocess.run([wineserver, '-w'], env=env)
        return r

    def uninstall_entry():
        r = subprocess.run([wine, 'reg', 'query', key], env=env, capture_output=True)
        return dict(re.findall(r'^\s+(\w+)\s+REG_\w+\s+(.*?)\s*$', r.stdout.decode('utf-8', 'replace'), re.M))

    def main_window_appears():
        for _ in range(150):
            tree = subprocess.run(['xwininfo', '-root', '-tree'], env=env, capture_output=True, text=True).stdout
            if '"Orvandel"' in tree:
                return True
            time.sleep(0.2)
        return False

    try:
        t0 = time.time()
        wine_run('wineboot', '-i')
        print('figure: a scratch Wine prefix took %.1f s' % (time.time() - t0))

        # The zip unpacked into a folder whose name has a double-byte character ending in 0x5C
        # (ソ is 0x83 0x5C in code page 932): the player starts there and, closed, writes its
        # settings beside itself.
        folder = os.path.join(env['WINEPREFIX'], 'drive_c', 'ソフト')
        with zipfile.ZipFile(os.path.join(dist, app + '.zip')) as z:
            z.extractall(folder)
        unzipped = subprocess.Popen([wine, 'C:\\ソフト\\%s\\velmora.exe' % app], env=env,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        started = main_window_appears()
        subprocess.run([wine, 'taskkill', '/im', 'velmora.exe'], env=env, capture_output=True)  # WM_CLOSE
        try:
            unzipped.wait(timeout=30)
        except subprocess.TimeoutExpired:
            subprocess.run([wineserver, '-k'], env=env)
        subprocess.run([wineserver, '-w'], env=env)
        ini = os.path.join(folder, app, 'velmora.ini')
        check(started and os.path.isfile(ini) and b'Octave=0' in open(ini, 'rb').read(),
              'the unpacked zip\'s player runs from C:\\ソフト\\%s and writes velmora.ini beside itself' % app)
        t0 = time.time()
        wine_run(setup_path, '/S')
        print('figure: the silent install took %.1f s' % (time.time() - t0))
        users = os.path.join(env['WINEPREFIX'], 'drive_c/users')
        home = os.path.join(users, next(u for u in os.listdir(users) if u != 'Public'))
        target = os.path.join(home, 'AppData/Local/Programs/velmora')
        link = os.path.join(home, 'AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Orvandel.lnk')
        got = sorted(os.listdir(target)) if os.path.isdir(target) else []
        check(got == sorted(['velmora.exe', 'Tarvik.dll', 'guide.txt', 'notice.txt', 'uninstall.exe']),
              'the silent install puts the files into the user\'s Programs\\velmora', got)
        data = open(link, 'rb').read() if os.path.isfile(link) else b''
        check(b'velmora.exe' in data or 'velmora.exe'.encode('utf-16-le') in data,
              'the Start-menu shortcut Orvandel.lnk points at velmora.exe')
        entry = uninstall_entry()
        check(entry.get('DisplayVersion') == version and entry.get('DisplayName', '').startswith('Orvandel') and
              entry.get('InstallLocation', '').endswith(r'\AppData\Local\Programs\velmora') and
              entry.get('QuietUninstallString', '').endswith('/S'),
              'the uninstall entry is registered for the current user', entry)
        pf = [d for d in os.listdir(os.path.join(env['WINEPREFIX'], 'drive_c')) if d.startswith('Program Files')]
        check(not any(os.path.exists(os.path.join(env['WINEPREFIX'], 'drive_c', d, 'velmora')) for d in pf),
              'nothing is installed for all users')

        player_proc = subprocess.Popen([wine, os.path.join(target, 'velmora.exe')], env=env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        check(main_window_appears(), 'the installed player starts: its main window appears')
        busy = subprocess.run([wine, setup_path, '/S'], env=env, capture_output=True)
        check(busy.returncode != 0, 'a silent install while the player runs gives up', busy.returncode)
        subprocess.run([wineserver, '-k'], env=env)
        player_proc.wait()
        subprocess.run([wineserver, '-w'], env=env)

        # A second install over the first: files replaced in place, the user's settings kept.
        ini = os.path.join(target, 'velmora.ini')
        settings = b'[Settings]\r\nOctave=3\r\nVolume=5\r\n'
        open(ini, 'wb').write(settings)
        open(os.path.join(target, 'guide.txt'), 'wb').write(b'an older guide')
        wine_run(setup_path, '/S')
        check(open(os.path.join(target, 'guide.txt'), 'rb').read() == player[app + '/guide.txt'] and
              open(ini, 'rb').read() == settings and uninstall_entry() == entry,
              'a second install upgrades in place and keeps velmora.ini')

        quiet = re.match(r'"([^"]+)"\s*(.*)', entry.get('QuietUninstallString', '""'))
        t0 = time.time()
        wine_run(quiet.group(1), *quiet.group(2).split())
        print('figure: the silent uninstall took %.1f s' % (time.time() - t0))
        left = sorted(os.listdir(target)) if os.path.isdir(target) else []
        check(left == ['velmora.ini'] and open(ini, 'rb').read() == settings,
              'the silent uninstall removes everything but velmora.ini', left)
        check(not os.path.exists(link) and not uninstall_entry(), 'the shortcut and the uninstall entry are gone')
    finally:
        subprocess.run([wineserver, '-k'], env=env)
        subprocess.run([wineserver, '-w'], env=env)
    if not failures:  # a failed run keeps its prefix to look into
        shutil.rmtree(env['WINEPREFIX'], ignore_errors=True)

print('package: %s' % ('%d FAILED' % len(failures) if failures else 'all ok'))
sys.exit(1 if failures else 0)

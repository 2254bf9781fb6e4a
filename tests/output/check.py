#!/usr/bin/env python3
"""Proves generated code with real compilers.

Every document (the golden inputs, tests/data/compile, tests/data/corpus and a few hundred made here from a
fixed seed) is converted in every configuration. Swift is compiled with swiftc, and the documents that compile
are decoded from their own sample by a program built from the generated files: the decoded values, read
through Mirror, must equal the sample's values converted to the generated types, and a Codable value must come
back equal after encoding. Objective-C is compiled by clang 14 against GNUstep, with and without ARC.

What cannot compile or cannot come back is predicted by RULES, and the check holds both ways: an outcome no
rule predicts fails, and so does a prediction that does not come true.

    check.py MORVEX_CLI [--work DIR] [--seed N] [--count N] [--only PATTERN]

Exit 0 when every outcome is as predicted and 1 otherwise. Without clang 14 and GNUstep it exits 77 (skipped),
or 1 under MORVEX_OUTPUT_STRICT=1; without swiftc it checks Objective-C only, after one line saying so, and
fails under MORVEX_REQUIRE_SWIFT=1.
"""
import argparse
import json
import os
import random
import re
import shutil
import struct
import subprocess
import sys
import time
import unicodedata
from collections import Counter, namedtuple
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

HERE = Path(__file__).resolve().parent
DATA = HERE.parent / 'data'
SEED = 20261206
ROOT = 'RootModel'

# As stored property names; `await` and `open` are names there, and CodingKeys is declared by the conformance.
SWIFT_KEYWORDS = set('''associatedtype class deinit enum extension fileprivate func import init inout internal let
operator private precedencegroup protocol public rethrows static struct subscript typealias var break case catch
continue default defer do else fallthrough for guard if in repeat return throw switch where while Any as false is
nil self Self super throws true try _ Type Protocol CodingKeys'''.split())
# As property names; `id`, `self`, `BOOL` and the other type names are names there.
OBJC_KEYWORDS = set('''auto break case char const continue default do double else enum extern float for goto if
inline int long register restrict return short signed sizeof static struct switch typedef union unsigned void
volatile while _Bool _Complex _Imaginary nil Nil YES NO NULL EOF INT_MAX'''.split())
ARC_FAMILIES = ('new', 'copy', 'mutableCopy', 'alloc', 'init')


# --- The types a sample implies under the generator's default rules ---------------------------------------------

class Obj:
    def __init__(self, name, members):
        self.name, self.members = name, members  # members: [(key, type)], null members dropped


Never = namedtuple('Never', 'name')  # an element type that is named but never generated
Arr = namedtuple('Arr', 'element')


def mended(key):
    """The key as a name: a character that could end a declaration or start another becomes _."""
    return ''.join(c if c in '$ -.' or unicodedata.category(c)[0] in 'LMN' or unicodedata.category(c) in ('So', 'Pc')
                   else '_' for c in key)


def type_name(prefix, key):
    """The prefix, then the key with its first character (and the marks that join it) upper-cased."""
    key = mended(key)
    cut = 1
    while cut < len(key) and unicodedata.category(key[cut]).startswith('M'):
        cut += 1
    return prefix + key[:cut].upper() + key[cut:]


def number_type(value):
    if isinstance(value, int) and -2**63 <= value < 2**63:
        return 'Int'
    if isinstance(value, int) or value != value or abs(value) >= 2.0**63:
        return 'Float'
    return 'Int' if float32(float(int(value))) == float32(value) else 'Float'


def float32(value):
    try:
        return struct.unpack('<f', struct.pack('<f', value))[0]
    except OverflowError:
        return float('inf')


def scalar_type(value):
    if isinstance(value, bool):
        return 'Bool'
    if isinstance(value, str):
        return 'String'
    return number_type(value)


class Model:
    """Walks a sample as the generator does: the types in file order, and those that survive in the folder."""

    def __init__(self, document, prefix):
        self.prefix, self.types, self.built = prefix, [], {}
        top = document if isinstance(document, (dict, list)) else {}
        self.types.insert(0, self.walk(top, ROOT))
        # Of types with one file name only the last is written.
        self.surviving = {t.name: t for t in self.types}

    def walk(self, value, key):
        pairs = value.items() if isinstance(value, dict) else ((str(i), v) for i, v in enumerate(value))
        members = []
        for k, child in pairs:
            if child is not None:
                members.append((k, self.member_type(k, child)))
        t = Obj(type_name(self.prefix, key), members)
        self.built[id(value)] = t
        return t

    def nested(self, key, value):
        t = self.walk(value, key)
        self.types.append(t)
        return t.name

    def member_type(self, key, value):
        if isinstance(value, dict):
            return self.nested(key, value)
        if isinstance(value, list):
            if not value or value[0] is None or isinstance(value[0], list):
                return Arr(Never(type_name(self.prefix, key)))
            if isinstance(value[0], dict):
                return Arr(self.nested(key, value[0]))
            return Arr(scalar_type(value[0]))
        return scalar_type(value)

    @property
    def keys(self):
        return [mended(k) for t in self.surviving.values() for k, _ in t.members]

    def referenced(self):
        for t in self.surviving.values():
            for _, m in t.members:
                yield m.element if isinstance(m, Arr) else m

    def cycle(self, shortest, through_arrays):
        """Whether a type holds itself through `shortest` or more steps of member types (possible only where
        files replace others)."""
        def reaches(name, target, steps, seen):
            for _, m in self.surviving[name].members:
                if isinstance(m, Arr) and through_arrays:
                    m = m.element
                if m == target and steps + 1 >= shortest:
                    return True
                if isinstance(m, str) and m in self.surviving and m not in seen:
                    if reaches(m, target, steps + 1, seen | {m}):
                        return True
            return False
        return any(reaches(name, name, 0, {name}) for name in self.surviving)


class Mismatch(Exception):
    def __init__(self, rule):
        super().__init__(rule)
        self.rule = rule


def expected(value, t, model):
    """The sample's value converted to generated type t, as the Swift program prints it; or the run rule that
    says why it cannot decode."""
    if isinstance(t, Never):
        t = t.name  # named after a key whose other place did generate it
    if isinstance(t, Arr):
        if not isinstance(value, list):
            raise Mismatch('element-kind')
        return [expected(v, t.element, model) for v in value]
    if isinstance(t, str) and t in model.surviving:
        obj = model.surviving[t]
        if not obj.members:
            return {}  # a type without members asks nothing of its value
        if not isinstance(value, dict):
            raise Mismatch('element-kind')
        try:
            out = {}
            for key, member in obj.members:
                if value.get(key) is None:
                    raise Mismatch('element-members')
                out[mended(key)] = expected(value[key], member, model)
            return out
        except Mismatch:
            if model.built.get(id(value), obj) is not obj:
                raise Mismatch('shared-type-name')
            raise
    if value is None:
        raise Mismatch('null-element')
    kind = 'object' if isinstance(value, (dict, list)) else scalar_type(value)
    if t == 'Int' and kind == 'Int':
        return {'i': int(value)}
    if t == 'Int' and isinstance(value, float):
        if value.is_integer() and abs(value) < 2**63:
            return {'i': int(value)}
        raise Mismatch('int-not-integer' if kind == 'Int' else 'element-kind')
    if t == 'Float' and kind in ('Int', 'Float'):
        f = float32(float(value))
        if abs(f) == float('inf'):
            raise Mismatch('float-range')
        return {'f': struct.unpack('<I', struct.pack('<f', f))[0]}
    if t == kind and t in ('Bool', 'String'):
        return {t[0].lower(): value}
    raise Mismatch('element-kind')


# --- The rules: every failure the generated code is known to have, with its reason --------------------------------

Rule = namedtuple('Rule', 'name stage reason applies')


# Beyond ASCII, names hold the characters of C11's Annex D (marks not first), in Swift's grammar and clang's.
NAME_RANGES = [[int(end, 16) for end in (r + '-' + r).split('-')[:2]] for r in """00A8 00AA 00AD 00AF 00B2-00B5
    00B7-00BA 00BC-00BE 00C0-00D6 00D8-00F6 00F8-00FF 0100-167F 1681-180D 180F-1FFF 200B-200D 202A-202E 203F-2040
    2054 2060-206F 2070-218F 2460-24FF 2776-2793 2C00-2DFF 2E80-2FFF 3004-3007 3021-302F 3031-303F 3040-D7FF
    F900-FD3D FD40-FDCF FDF0-FE44 FE47-FFFD 10000-EFFFD""".split()]
NOT_FIRST = [(0x300, 0x36F), (0x1DC0, 0x1DFF), (0x20D0, 0x20FF), (0xFE20, 0xFE2F)]


def identifier(key, swift):
    """As swiftc and clang read names: clang takes $ anywhere, Swift not first, and Swift no U+FFFC or U+FFFD."""
    def takes(c, first, o):
        if c.isascii():
            return c.isalpha() or c == '_' or (c.isdigit() and not first) or (c == '$' and not (swift and first))
        return (any(a <= o <= b for a, b in NAME_RANGES) and o & 0xFFFF < 0xFFFE and
                not (swift and o in (0xFFFC, 0xFFFD)) and not (first and any(a <= o <= b for a, b in NOT_FIRST)))
    return bool(key) and all(takes(c, i == 0, ord(c)) for i, c in enumerate(key))


def in_arc_family(key):
    for family in ARC_FAMILIES:
        rest = key[len(family):]
        if key.startswith(family) and (not rest or not rest[0].islower()):
            return True
    return False


def object_typed(t):
    return t not in ('Int', 'Float', 'Bool')


def nsobject_class(config, model):
    return config.base == 'NSObject' and any(t.members for t in model.surviving.values())


RULES = [
    Rule('not-identifier', 'compile', 'a key that is not an identifier of the language becomes a member name as '
         'written', lambda c, m: any(not identifier(k, c.swift) for k in m.keys)),
    Rule('reserved-word', 'compile', 'a key that is a reserved word of the language becomes a member name as written',
         lambda c, m: any(k in (SWIFT_KEYWORDS if c.swift else OBJC_KEYWORDS) for k in m.keys)),
    Rule('never-generated', 'compile', 'an empty array, or one whose first element is null or an array, names an '
         'element type that is never generated',
         lambda c, m: any(isinstance(t, Never) and t.name not in m.surviving for t in m.referenced())),
    Rule('nsobject-stored', 'compile', 'a class on NSObject with at least one stored property has no initialiser',
         lambda c, m: c.swift and nsobject_class(c, m)),
    Rule('recursive-struct', 'compile', 'where a type\'s file replaces another of the same name, a struct can come '
         'to hold itself', lambda c, m: c.swift and c.kind == 'struct' and m.cycle(1, False)),
    Rule('import-cycle', 'compile', 'where a type\'s file replaces another of the same name, two headers can '
         'import each other, and one then names a class not yet declared',
         lambda c, m: not c.swift and m.cycle(2, True)),
    Rule('arc-owned-name', 'compile', 'under ARC, an object property named in the new, copy, mutableCopy, alloc or '
         'init family breaks the ownership rules', lambda c, m: c.arc and any(
             in_arc_family(mended(k)) and object_typed(mt) for t in m.surviving.values() for k, mt in t.members)),
    Rule('int-not-integer', 'run', 'a number typed Int because its single-precision view is integral, though it is '
         'not an integer (1.00000001), does not decode', None),
    Rule('float-range', 'run', 'a number typed Float beyond Float\'s range (1e39) does not decode', None),
    Rule('element-kind', 'run', 'a later array element of another kind than the first (a fraction after an '
         'integer) does not decode as the first\'s type', None),
    Rule('element-members', 'run', 'a later array element that lacks a member of the first does not decode', None),
    Rule('null-element', 'run', 'an array of scalars that holds a null does not decode', None),
    Rule('shared-type-name', 'run', 'two types share a name: the later one\'s file replaces the earlier one\'s, '
         'whose values then do not decode', None),
]


def numbers(value):
    if isinstance(value, (dict, list)):
        for v in value.values() if isinstance(value, dict) else value:
            yield from numbers(v)
    elif isinstance(value, (int, float)) and not isinstance(value, bool):
        yield abs(value)


# A faithful model holds every value. What the sample cannot type exactly is named where it happens.
FAITHFUL_RULES = [
    Rule('positions', 'compile', 'a top-level array whose elements are not all objects gives members named by '
         'position, which no language takes',
         lambda v, _: isinstance(v, list) and any(e is not None and not isinstance(e, dict) for e in v)),
    Rule('no-object', 'faithful', 'a document that is neither an object nor an array of objects has no type to hold '
         'it', lambda v, _: not isinstance(v, dict) and not (isinstance(v, list) and v and all(isinstance(e, dict)
                                                                                              for e in v))),
    Rule('double-range', 'faithful', 'a number beyond Double\'s range (1e400) does not decode',
         lambda v, _: any(abs(float(n)) == float('inf') if n < 2**1024 else True for n in numbers(v))),
    Rule('zero-exponent', 'faithful', 'Foundation\'s JSONDecoder refuses a number written as 0 with an exponent (0e1), '
         'valid JSON though it is', lambda _, text: re.search(r'[\[,:]\s*-?0[eE]', text) is not None),
    Rule('repeated-key', 'faithful', 'an object that names a member twice: JSONDecoder keeps the first value, the '
         'sample as read here the last', lambda _, text: repeats_key(text)),
    Rule('float-precision', 'compare', 'a fraction typed Float comes back as Float holds it', None),
    Rule('wide-number', 'compare', 'an integer beyond 2^53 in a position typed Double comes back as Double holds it',
         None),
]


def repeats_key(text):
    def unique(pairs):
        if len({key for key, _ in pairs}) != len(pairs):
            raise KeyError('repeated')
        return dict(pairs)
    try:
        json.loads(text, object_pairs_hook=unique)
    except KeyError:
        return True
    except ValueError:
        return False
    return False


def same(sample, back, used):
    """Whether a faithful model gave the sample back: a null member is the same as an absent one. A number that
    comes back only as its type holds it adds the rule that says so to `used`."""
    if isinstance(sample, dict):
        return isinstance(back, dict) and all([same(sample.get(k), back.get(k), used)
                                               for k in sample.keys() | back.keys()])
    if isinstance(sample, list):
        return isinstance(back, list) and len(sample) == len(back) and all([same(a, b, used)
                                                                            for a, b in zip(sample, back)])
    if isinstance(sample, bool) or isinstance(back, bool):
        return sample is back
    if sample == back:
        return True
    if isinstance(sample, float) and isinstance(back, (int, float)) and float32(sample) == float32(back):
        used.add('float-precision')
        return True
    if isinstance(sample, int) and abs(sample) > 2**53 and isinstance(back, float) and back == float(sample):
        used.add('wide-number')
        return True
    return False


# --- Configurations and documents ---------------------------------------------------------------------------------

class Config(namedtuple('Config', 'name args swift kind base arc faithful')):
    @property
    def runs(self):
        return self.swift and self.base in ('Codable', 'Decodable')


CONFIGS = [Config(f'swift-{kind}-{base}{"-faithful" * faithful}', ['-l', 'swift', '-k', kind, '-b', base] +
                  ['--faithful'] * faithful, True, kind, base, False, faithful)
           for kind, base, faithful in (('class', 'Codable', False), ('struct', 'Codable', False),
                                        ('class', 'Decodable', False), ('struct', 'Decodable', False),
                                        ('class', 'NSObject', False), ('class', 'Codable', True),
                                        ('struct', 'Codable', True))]
CONFIGS += [Config(f'objc-{mapping}{"-faithful" * faithful}{"-arc" * arc}', ['-l', 'objc', '-m', mapping] +
                   ['--faithful'] * faithful, False, 'class', 'NSObject', arc, faithful)
            for faithful in (False, True) for mapping in ('none', 'mjextension') for arc in (False, True)]


def documents(count, seed):
    """(name, text) of every document: the repository's own, then `count` made from `seed`."""
    found = sorted(DATA.glob('golden/*/input.json')) + sorted(DATA.glob('compile/*.json')) + \
        sorted(DATA.glob('corpus/*/*.json'))
    for path in found:
        yield str(path.relative_to(DATA)), path.read_text(encoding='utf-8')
    rng = random.Random(seed)
    for n in range(count):
        yield f'made/{seed}-{n}', json.dumps(Maker(rng).document(), ensure_ascii=rng.random() < 0.5, indent=1)


class Maker:
    """Documents that must compile and come back: identifier keys, no type name twice, every scalar kind, and
    fractions that Float holds exactly."""
    WORDS = ('user item order name city total count price title note size color value label owner street '
             'amount score level rank point entry group field photo width height depth status codeNum tagList '
             'größe naïve café 名前 数量 año 😀x ① a² v$ await open Codable Foundation id __typename').split()

    def __init__(self, rng):
        self.rng, self.type_names = rng, {ROOT.lower()}

    def key(self, taken, for_type=False):
        while True:
            word = self.rng.choice(self.WORDS) + self.rng.choice(('', '', '2', '_x', 'Id', 'Info'))
            lower = type_name('', word).lower()
            if word in taken or in_arc_family(word) or word in ('description', 'hash', 'class'):
                continue
            if for_type and lower in self.type_names:
                continue
            if for_type:
                self.type_names.add(lower)
            taken.add(word)
            return word

    def scalar(self, kind):
        rng = self.rng
        if kind == 'int':
            return rng.choice((0, -1, 7, 2**31, -2**40, 2**63 - 1, -2**63, rng.randint(-10**6, 10**6)))
        if kind == 'fraction':
            return rng.choice((0.5, -2.25, 0.125, 1024.75)) + rng.randint(-50, 50)
        if kind == 'bool':
            return rng.random() < 0.5
        return rng.choice(('', 'plain', 'quote " and \\ back', 'line\nbreak\ttab', 'é ü 中文 😀', '\u0000\u001f'))

    def shape(self, depth):
        """A template: what each member holds, filled again for every element of an array."""
        taken = set()
        members = []
        for _ in range(self.rng.randint(1, 5)):
            roll = self.rng.random()
            if depth < 4 and roll < 0.15:
                members.append((self.key(taken, True), ('object', self.shape(depth + 1))))
            elif depth < 4 and roll < 0.28:
                members.append((self.key(taken, True), ('objects', self.shape(depth + 1), self.rng.randint(1, 3))))
            elif roll < 0.4:
                kind = self.rng.choice(('int', 'fraction', 'bool', 'string'))
                members.append((self.key(taken), ('scalars', kind, self.rng.randint(1, 4))))
            elif roll < 0.45:
                members.append((self.key(taken), ('null',)))
            else:
                members.append((self.key(taken), ('scalar', self.rng.choice(('int', 'fraction', 'bool', 'string')))))
        return members

    def fill(self, shape):
        out = {}
        for key, (what, *how) in shape:
            if what == 'object':
                out[key] = self.fill(how[0])
            elif what == 'objects':
                out[key] = [self.fill(how[0]) for _ in range(how[1])]
            elif what == 'scalars':
                out[key] = [self.scalar(how[0]) for _ in range(how[1])]
            else:
                out[key] = None if what == 'null' else self.scalar(how[0])
        return out

    def document(self):
        return self.fill(self.shape(0))


def run(command, **options):
    return subprocess.run(command, capture_output=True, text=True, errors='replace', **options)


# --- Compilers ----------------------------------------------------------------------------------------------------

def swiftc():
    found = shutil.which('swiftc')
    toolchain = Path(os.environ.get('MORVEX_SWIFT_TOOLCHAIN', '/opt/swift')) / 'usr/bin/swiftc'
    return found or (str(toolchain) if toolchain.exists() else None)


def objc_flags():
    if not shutil.which('clang-14') or not shutil.which('gnustep-config'):
        return None
    flags = run(['gnustep-config', '--objc-flags']).stdout.split()
    gcc = run(['gcc', '-print-file-name=include']).stdout.strip()
    # GNUstep's Foundation imports the runtime headers that come with GCC's libobjc.
    return [f for f in flags if f not in ('-MMD', '-MP')] + ['-idirafter', gcc, '-fobjc-runtime=gnustep-2.0',
                                                              '-I', str(HERE / 'include'), '-ferror-limit=0']


ERROR = re.compile(r'^(.*?):\d+:\d+: (?:fatal )?error: (.*)$', re.M)


def errors_by_folder(output, work):
    """Each document's first compiler error, keyed by its folder under work; None for an error elsewhere."""
    found = {}
    for path, message in ERROR.findall(output):
        parts = Path(path).resolve().parts
        inside = parts[len(work.parts)] if Path(path).resolve().is_relative_to(work) else None
        found.setdefault(inside, f'{Path(path).name}: {message}')
    return found


# --- The run ------------------------------------------------------------------------------------------------------

HARNESS = r'''import Foundation

func dump(_ value: Any) -> Any {
    switch value {
    case let v as Bool: return ["b": v]
    case let v as Int: return ["i": v]
    case let v as Float: return ["f": Int(v.bitPattern)]
    case let v as String: return ["s": v]
    case let v as [Any]: return v.map(dump)
    default:
        var members: [String: Any] = [:]
        for child in Mirror(reflecting: value).children { members[child.label ?? "?"] = dump(child.value) }
        return members
    }
}

func text(_ value: Any) -> String {
    String(decoding: try! JSONSerialization.data(withJSONObject: dump(value), options: [.sortedKeys]), as: UTF8.self)
}

func decode<T: Decodable>(_ type: T.Type, _ data: Data) throws -> String {
    text(try JSONDecoder().decode(type, from: data))
}

func decode<T: Codable>(_ type: T.Type, _ data: Data) throws -> String {
    let value = try JSONDecoder().decode(type, from: data)
    let again = try JSONDecoder().decode(type, from: try JSONEncoder().encode(value))
    return text(value) == text(again) ? text(value) : "encoding changed it: \(text(again))"
}

func reencode<T: Codable>(_ type: T.Type, _ data: Data) throws -> String {
    String(decoding: try JSONEncoder().encode(try JSONDecoder().decode(type, from: data)), as: UTF8.self)
}

func decodeAll(_ cases: [(String, (Data) throws -> String)]) {
    for (name, run) in cases {
        let data = FileManager.default.contents(atPath: "\(CommandLine.arguments[1])/\(name).json")!
        do { print(name, try run(data)) } catch { print(name, "error:", error) }
    }
}
'''


def run_program(config, docs, work, compiler):
    """Builds one program from every document's files, decodes each sample; returns name -> printed line."""
    main = work / 'main.swift'
    def root(d):
        name = d.model.types[0].name
        if not config.faithful:
            return f'decode({name}.self, $0)'
        return f'reencode({f"[{name}]" if isinstance(d.value, list) and d.value else name}.self, $0)'
    cases = ',\n'.join(f'    ("{d.folder}", {{ try {root(d)} }})' for d in docs)
    main.write_text(HARNESS + f'\ndecodeAll([\n{cases}\n])\n')
    sources = [str(p) for d in docs for p in sorted((work / d.folder).glob('*.swift'))]
    program = work / 'decode'
    build = run([compiler, '-wmo', '-num-threads', '2', '-Onone', '-suppress-warnings', '-module-cache-path',
                 str(work.parent / 'tmp'), '-o', str(program), str(main), *sources])
    if build.returncode != 0:
        return None, build.stderr
    out = run([str(program), str(work.parent / 'samples')])
    # Only \n ends a line: decoded strings may hold U+2028 and other characters that splitlines() breaks at.
    lines = dict(line.split(' ', 1) for line in out.stdout.split('\n') if ' ' in line)
    return lines, out.stderr


Doc = namedtuple('Doc', 'name folder text value model')


def compile_all(config, docs, work, swift, flags):
    """Compiles every document's files in one call; returns folder -> first error. Where an error cannot be put
    down to one document, each is compiled alone to name the culprit."""
    def call(batch):
        if config.swift:
            files = [str(p) for d in batch for p in sorted((work / d.folder).glob('*.swift'))]
            command = [swift, '-typecheck', '-wmo', '-diagnostic-style', 'llvm', '-module-cache-path',
                       str(work.parent / 'tmp'), *files]
        else:
            unit = work / f'{batch[0].folder if len(batch) == 1 else "all"}-units.m'
            unit.write_text(''.join(f'#import "{p}"\n' for d in batch for p in sorted((work / d.folder).glob('*.m'))))
            arc = ['-fobjc-arc'] if config.arc else []
            command = ['clang-14', '-fsyntax-only', '-x', 'objective-c', *flags, *arc, str(unit)]
        out = run(command, cwd=work)
        found = errors_by_folder(out.stderr, work)
        if config.arc:
            found.pop(None, None)  # GCC's runtime header does not compile under ARC; our files are what counts
        elif out.returncode != 0 and not found:
            found[None] = (out.stderr.strip().splitlines() or ['failed without a message'])[-1]
        return found, 'fatal error:' in out.stderr

    found, remaining = {}, docs
    while remaining:
        errors, fatal = call(remaining)
        if None in errors:
            for d in remaining:
                found.update({d.folder: message for message in call([d])[0].values()})
            break
        found.update(errors)
        # A fatal error stops the compiler: the documents after the culprit are compiled again.
        remaining = [d for d in remaining if d.folder not in errors] if fatal else []
    return found


def check(config, docs, work, cli, swift, flags):
    """Converts, compiles and runs every document in one configuration; returns (failures, counts, seconds)."""
    started, failures, counts = time.monotonic(), [], Counter()
    cwork = work / config.name
    for d in docs:
        (cwork / d.folder).mkdir(parents=True)
        out = run([cli, *config.args, '-p', d.folder + 'MX', '-n', ROOT, '--author', 'Check', '--company', 'Check',
                   '--date', '2026/12/05', '-o', str(cwork / d.folder), str(work / 'samples' / f'{d.folder}.json')])
        if out.returncode != 0:
            failures.append(f'{d.name} ({config.name}): morvex-cli exited {out.returncode}: {out.stderr.strip()}')
    errors = compile_all(config, docs, cwork, swift, flags)
    compiled = []
    for d in docs:
        if config.faithful:
            predicted = [r.name for r in FAITHFUL_RULES
                         if r.stage == 'compile' and r.applies(d.value, d.text)]
        else:
            predicted = [r.name for r in RULES if r.stage == 'compile' and r.applies(config, d.model)]
        error = errors.get(d.folder)
        if predicted and error is None:
            failures.append(f'{d.name} ({config.name}): compiles, though {predicted[0]} says it cannot')
        elif error and not predicted:
            failures.append(f'{d.name} ({config.name}): {error}')
        counts[config.name, 'compiled' if error is None else 'failed as predicted'] += 1
        counts.update((config.name, f'rule {rule}') for rule in predicted)
        if error is None:
            compiled.append(d)
    if config.runs and compiled:
        lines, trouble = run_program(config, compiled, cwork, swift)
        if lines is None:
            failures.append(f'{config.name}: the decoding program does not build: {trouble.strip()[:2000]}')
            return failures, counts, time.monotonic() - started
        for d in compiled:
            got = lines.get(d.folder, f'no result ({trouble.strip()[-300:]})')
            if config.faithful:
                rule = next((r.name for r in FAITHFUL_RULES
                             if r.stage == 'faithful' and r.applies(d.value, d.text)), None)
                used = set()
                if rule is None and (got.startswith(('error:', 'no result')) or not same(d.value, json.loads(got),
                                                                                      used)):
                    failures.append(f'{d.name} ({config.name}): does not come back: {got[:600]}')
                counts[config.name, 'ran' if rule is None else f'left out by {rule}'] += 1
                counts.update((config.name, f'compared by {name}') for name in used)
                continue
            try:
                want, rule = expected(d.value, d.model.types[0].name, d.model), None
            except Mismatch as mismatch:
                want, rule = None, mismatch.rule
            decoded = not got.startswith(('error:', 'no result', 'encoding changed'))
            if rule and decoded:
                failures.append(f'{d.name} ({config.name}): decodes, though {rule} says it cannot')
            elif rule is None and (not decoded or json.loads(got) != want):
                failures.append(f'{d.name} ({config.name}): {got[:600]}\n    expected: {json.dumps(want)[:600]}')
            counts[config.name, 'ran' if rule is None else f'left out by {rule}'] += 1
    return failures, counts, time.monotonic() - started


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('cli')
    parser.add_argument('--work', type=Path, default=HERE.parent.parent / 'build' / 'output-check')
    parser.add_argument('--seed', type=int, default=int(os.environ.get('MORVEX_OUTPUT_SEED', SEED)))
    parser.add_argument('--count', type=int, default=200)
    parser.add_argument('--only', default='', help='the configurations whose name matches this pattern')
    args = parser.parse_args()
    started = time.monotonic()

    swift, flags = swiftc(), objc_flags()
    if flags is None:
        print('output check: clang-14 and gnustep-config are needed (Debian: clang-14, libgnustep-base-dev)')
        return 1 if os.environ.get('MORVEX_OUTPUT_STRICT') == '1' else 77
    configs = [c for c in CONFIGS if re.search(args.only, c.name)]
    if swift is None:
        print('output check: swiftc not found (on PATH or in /opt/swift/usr/bin); the Swift part is skipped')
        if os.environ.get('MORVEX_REQUIRE_SWIFT') == '1':
            return 1
        configs = [c for c in configs if not c.swift]

    work = args.work.resolve()
    shutil.rmtree(work, ignore_errors=True)
    (work / 'samples').mkdir(parents=True)
    # Compilers keep temporary files and caches, morvex-cli its settings: all of it stays below the work folder.
    (work / 'tmp').mkdir()
    os.environ.update(TMPDIR=str(work / 'tmp'), HOME=str(work / 'home'), XDG_CONFIG_HOME=str(work / 'home/config'),
                      XDG_CACHE_HOME=str(work / 'home/cache'))
    docs, unparsed = [], 0
    for name, text in documents(args.count, args.seed):
        try:
            value = json.loads(text)
        except ValueError:
            unparsed += 1
            continue
        folder = f'D{len(docs):04d}'
        (work / 'samples' / f'{folder}.json').write_text(text, encoding='utf-8')
        docs.append(Doc(name, folder, text, value, Model(value, folder + 'MX')))

    # Configurations are independent and mostly wait on compilers: one per core at a time.
    jobs = max(1, int(os.environ.get('MORVEX_JOBS', os.cpu_count() or 1)))
    with ThreadPoolExecutor(jobs) as pool:
        results = list(pool.map(lambda c: check(c, docs, work, args.cli, swift, flags), configs))
    failures, counts = [f for r in results for f in r[0]], sum((r[1] for r in results), Counter())

    for config, (_, _, seconds) in zip(configs, results):
        row = ', '.join(f'{what} {n}' for (name, what), n in sorted(counts.items()) if name == config.name)
        print(f'{config.name} ({seconds:.0f} s): {row}')
    print(f'{len(docs)} documents ({args.count} made from seed {args.seed}), {len(configs)} configurations, '
          f'{unparsed} not JSON, {time.monotonic() - started:.0f} s')
    for failure in failures:
        print(f'FAIL: {failure}')
    if failures:
        print(f'output check: {len(failures)} unexpected outcomes; rerun with MORVEX_OUTPUT_SEED={args.seed}')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())

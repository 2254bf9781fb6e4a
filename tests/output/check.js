// Converts realistic documents in both languages and both mapping styles and checks the result with real tools:
// Objective-C compiled by clang against GNUstep's Foundation, Swift parsed by tree-sitter's Swift grammar.
//
//   node check.js MORVEX_CLI DOCUMENT_OR_FOLDER...
//
// A document takes part when every key the generator turns into a name is a valid identifier of both languages
// and none is a reserved word: keys are used exactly as written, so other keys cannot give code that compiles.
// Exits 0 when every file passes, 1 when a tool rejects one, 77 when a tool is missing.
'use strict';

const childProcess = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const here = __dirname;
const skip = (why) => {
    console.log(`SKIP: ${why}`);
    process.exit(77);
};

// Keys are written verbatim, so these can never name a member (or, upper-cased, a type) in valid code.
const swiftReserved = new Set(
    ('associatedtype class deinit enum extension fileprivate func import init inout internal let open operator ' +
     'private precedencegroup protocol public rethrows static struct subscript typealias var break case catch ' +
     'continue default defer do else fallthrough for guard if in repeat return throw switch where while Any as ' +
     'await false is nil self Self super throws true try Type Protocol').split(' '));
const objcReserved = new Set(
    ('auto break case char const continue default do double else enum extern float for goto if inline int long ' +
     'register restrict return short signed sizeof static struct switch typedef union unsigned void volatile while ' +
     '_Bool _Complex _Imaginary self super nil Nil YES NO BOOL SEL IMP Class in out inout bycopy byref oneway ' +
     'NULL TRUE FALSE MIN MAX ABS').split(' '));
const identifier = /^[A-Za-z_][A-Za-z0-9_]*$/;

// The generator's naming rule for an identifier key: the prefix, then the key with its first letter upper-cased.
const typeName = (key) => 'MX' + key.charAt(0).toUpperCase() + key.slice(1);

// Walks the document as the generator does; returns why it cannot take part, or the element types that the
// generated code names but that are never generated (the element types of empty arrays, of arrays of arrays
// and of arrays of nulls name a type after their key; that form is the generator's rule), and the names that
// more than one generated type carries.
function examine(document) {
    if (Array.isArray(document) && document.length > 0)
        return {why: 'a top-level array gives members named by position'};
    const neverGenerated = new Set();
    const generated = new Map();
    const note = (key) => generated.set(typeName(key), (generated.get(typeName(key)) || 0) + 1);
    const pending = [document];
    while (pending.length > 0) {
        const value = pending.pop();
        if (value === null || typeof value !== 'object' || Array.isArray(value))
            continue;
        for (const [key, child] of Object.entries(value)) {
            if (!identifier.test(key))
                return {why: `key ${JSON.stringify(key)} is not an identifier`};
            if (swiftReserved.has(key) || objcReserved.has(key))
                return {why: `key "${key}" is a reserved word`};
            if (Array.isArray(child)) {
                const first = child[0];
                if (child.length === 0 || first === null || Array.isArray(first))
                    neverGenerated.add(typeName(key));
                else if (typeof first === 'object') {
                    note(key);
                    pending.push(first);
                }
            } else if (child !== null && typeof child === 'object') {
                note(key);
                pending.push(child);
            }
        }
    }
    const shared = [...generated].filter(([, count]) => count > 1).map(([name]) => name);
    return {neverGenerated, generated: [...generated.keys()], shared};
}

function run(command, args, options = {}) {
    return childProcess.spawnSync(command, args, {encoding: 'utf8', maxBuffer: 64 << 20, ...options});
}

function objcFlags() {
    const config = run('gnustep-config', ['--objc-flags']);
    if (config.error || config.status !== 0)
        skip('gnustep-config not found (Debian package libgnustep-base-dev)');
    const gcc = run('gcc', ['-print-file-name=include']);
    if (run('clang', ['--version']).error)
        skip('clang not found');
    // GNUstep's Foundation imports the runtime headers that come with GCC's libobjc.
    return config.stdout.trim().split(/\s+/).filter((flag) => flag && flag !== '-MMD' && flag !== '-MP')
        .concat(['-idirafter', gcc.stdout.trim(), '-fobjc-runtime=gnustep-2.0', '-I', path.join(here, 'include')]);
}

function swiftParser() {
    let Parser;
    let Swift;
    try {
        Parser = require(path.join(here, 'node_modules', 'tree-sitter'));
        Swift = require(path.join(here, 'node_modules', 'tree-sitter-swift'));
    } catch (error) {
        skip(`tree-sitter for Swift cannot be loaded: ${error.message}`);
    }
    const parser = new Parser();
    parser.setLanguage(Swift);
    return parser;
}

// The first syntax error of a tree, as "line:column".
function firstError(node) {
    if (node.type === 'ERROR' || node.isMissing)
        return `${node.startPosition.row + 1}:${node.startPosition.column + 1} near ${JSON.stringify(node.text.slice(0, 40))}`;
    for (const child of node.children) {
        if (child.hasError)
            return firstError(child);
    }
    return 'somewhere';
}

function documents(inputs) {
    const files = [];
    for (const input of inputs) {
        if (!fs.existsSync(input))
            continue;
        if (fs.statSync(input).isDirectory()) {
            for (const name of fs.readdirSync(input).sort()) {
                if (name.endsWith('.json'))
                    files.push(path.join(input, name));
            }
        } else {
            files.push(input);
        }
    }
    return files;
}

const styles = [
    {name: 'swift-class', args: ['-l', 'swift', '-k', 'class']},
    {name: 'swift-struct', args: ['-l', 'swift', '-k', 'struct']},
    {name: 'objc', args: ['-l', 'objc', '-m', 'none']},
    {name: 'objc-mjextension', args: ['-l', 'objc', '-m', 'mjextension']},
];

function main() {
    const [cli, ...inputs] = process.argv.slice(2);
    if (!cli || inputs.length === 0) {
        console.error('usage: node check.js MORVEX_CLI DOCUMENT_OR_FOLDER...');
        process.exit(2);
    }
    const flags = objcFlags();
    const parser = swiftParser();
    const work = fs.mkdtempSync(path.join(os.tmpdir(), 'morvex-output-'));
    const environment = {...process.env, HOME: work, XDG_CONFIG_HOME: path.join(work, 'config')};
    const failures = [];
    let checked = 0;
    let documentsChecked = 0;
    try {
        for (const file of documents(inputs)) {
            let document;
            try {
                document = JSON.parse(fs.readFileSync(file, 'utf8'));
            } catch (error) {
                console.log(`not taking part: ${file}: ${error.message}`);
                continue;
            }
            const {why, neverGenerated, generated, shared} = examine(document);
            if (why) {
                console.log(`not taking part: ${path.basename(file)}: ${why}`);
                continue;
            }
            ++documentsChecked;
            for (const style of styles) {
                const out = path.join(work, `${documentsChecked}-${style.name}`);
                fs.mkdirSync(out);
                const conversion = run(cli, [...style.args, '-p', 'MX', '-n', 'RootModel', '--author', 'Check',
                                             '--company', 'Check', '--date', '2026/12/05', '-o', out, file],
                                       {env: environment});
                if (conversion.status !== 0) {
                    failures.push(`${file} (${style.name}): morvex-cli exited ${conversion.status}: ${conversion.stderr}`);
                    continue;
                }
                const written = fs.readdirSync(out).sort();
                if (style.name.startsWith('swift')) {
                    for (const name of written) {
                        const tree = parser.parse(fs.readFileSync(path.join(out, name), 'utf8'));
                        ++checked;
                        if (tree.rootNode.hasError)
                            failures.push(`${path.basename(file)} (${style.name}) ${name}: tree-sitter rejects it at ` +
                                          firstError(tree.rootNode));
                    }
                    continue;
                }
                // Exception: the element types of empty arrays, arrays of arrays and arrays of nulls are named
                // after their key but never generated (the generator's rule fixes that form); they are declared
                // ahead so that everything else must compile.
                // Exception: when types share a name, the later one's files replace the earlier's (the generator
                // warns), so their headers can import each other in a circle; every type is declared ahead then.
                const ahead = new Set(neverGenerated);
                if (shared.length > 0) {
                    console.log(`types share a name in ${path.basename(file)} (${shared.join(', ')}): all declared ahead`);
                    generated.forEach((name) => ahead.add(name));
                }
                const prelude = path.join(out, 'declared-ahead.h');
                fs.writeFileSync(prelude, [...ahead].map((name) => `@class ${name};\n`).join(''));
                const units = written.filter((name) => name.endsWith('.m'));
                const all = path.join(out, 'all-units.m');
                fs.writeFileSync(all, units.map((name) => `#import "${name}"\n`).join(''));
                const compile = run('clang', ['-fsyntax-only', '-x', 'objective-c', ...flags, '-include', prelude,
                                              '-I', out, all]);
                checked += written.length;
                if (compile.status !== 0)
                    failures.push(`${path.basename(file)} (${style.name}): clang rejects it:\n` +
                                  compile.stderr.split('\n').filter((line) => line.includes('error')).slice(0, 10)
                                      .join('\n'));
            }
        }
    } finally {
        fs.rmSync(work, {recursive: true, force: true});
    }
    if (documentsChecked === 0) {
        console.error('no document took part');
        process.exit(1);
    }
    for (const failure of failures)
        console.error(`FAIL: ${failure}`);
    console.log(`${documentsChecked} documents, ${checked} files checked, ${failures.length} rejected`);
    process.exit(failures.length === 0 ? 0 : 1);
}

main();

'use strict';
// The grammar on lines of script, through the tokenizer and regular
// expressions VS Code itself uses.

const test = require('node:test');
const assert = require('node:assert');
const fs = require('fs');
const path = require('path');
const tm = require('vscode-textmate');
const onig = require('vscode-oniguruma');

const file = path.join(__dirname, '..', 'syntaxes', 'morpheus.tmLanguage.json');

const grammar = (async () => {
    await onig.loadWASM(fs.readFileSync(require.resolve('vscode-oniguruma/release/onig.wasm')).buffer);
    const registry = new tm.Registry({
        onigLib: Promise.resolve({
            createOnigScanner: (patterns) => new onig.OnigScanner(patterns),
            createOnigString: (text) => new onig.OnigString(text),
        }),
        loadGrammar: async () => tm.parseRawGrammar(fs.readFileSync(file, 'utf8'), file),
    });
    return registry.loadGrammar('source.morpheus');
})();

// The scopes below source.morpheus of each token that the first `word` of
// the text overlaps; the lines are read one after another, as in an editor.
function scopesOf(g, text, word) {
    const at = text.indexOf(word);
    assert.notStrictEqual(at, -1, `"${word}" is not in the text`);
    const found = [];
    let stack = tm.INITIAL;
    let offset = 0;
    for (const line of text.split('\n')) {
        const { tokens, ruleStack } = g.tokenizeLine(line, stack);
        for (const t of tokens) {
            if (offset + t.startIndex < at + word.length && offset + t.endIndex > at) found.push(t.scopes.slice(1));
        }
        stack = ruleStack;
        offset += line.length + 1;
    }
    return found;
}

// Lines of script, and words in them with the scope each has, less its
// ".morpheus" (null: none, as for a plain command).
const rows = [
    ['\tlocal.crate model "static/barrel.tik" // a crate', [['local', 'variable.language'], ['crate', 'variable.other'],
        ['model', null], ['"static/barrel.tik"', 'string.quoted.double'], ['// a crate', 'comment.line.double-slash']]],
    ['open_gate local.speed:', [['open_gate', 'entity.name.function'], ['local', 'variable.language'], ['speed', 'variable.other']]],
    ['main:', [['main', 'entity.name.function']]],
    ['\tthread global/door.scr::open', [['thread', 'keyword.other.call'], ['global/door.scr', 'string.unquoted.path'],
        ['open', 'entity.name.function']]],
    ['\tWaitThread hide_crates', [['WaitThread', 'keyword.other.call'], ['hide_crates', 'entity.name.function']]],
    ['\texec global/ambience.scr', [['global/ambience.scr', 'string.unquoted.path']]],
    ['\t$gate setthread open_gate', [['$gate', 'variable.other.constant'], ['open_gate', 'entity.name.function']]],
    ['/* a\nb */ wait 1', [['a', 'comment.block'], ['b */', 'comment.block'], ['wait', null], ['1', 'constant.numeric']]],
    ['\tprintln "//" local.a', [['"//"', 'string.quoted.double'], ['local', 'variable.language']]],
    ['\tprintln "a \\" // b" done', [['\\"', 'constant.character.escape'], ['// b', 'string.quoted.double'], ['done', null]]],
    ['\tif (local.a == 1)', [['if', 'keyword.control'], ['(', 'punctuation.section.parens.begin'],
        ['==', 'keyword.operator.comparison'], ['1', 'constant.numeric']]],
    ['\tlocal.x = -5 + .5 * 1.5', [['=', 'keyword.operator.assignment'], ['-5', 'constant.numeric'], ['.5', 'constant.numeric'],
        ['1.5', 'constant.numeric']]],
    ['\tlocal.y = 3 - 2', [['-', 'keyword.operator.arithmetic'], ['2', 'constant.numeric']]],
    ['\tlocal.n = 51O + 1.2.3 + 5.', [['51O', null], ['1.2.3', null], ['5.', null]]],
    // Keywords in the game's letter case only; end is a command, in any case.
    ['\tIf (level.alarm) END\n\tend', [['If', null], ['level', 'variable.language'], ['alarm', 'variable.other'],
        ['END', 'keyword.control.end'], ['end', 'keyword.control.end']]],
    // Inside a word, // is part of it; after a number it starts a comment.
    ['\tprintln done//x\n\twait 1// one second', [['done//x', null], ['// one', 'comment.line.double-slash']]],
    ['\tlocal.crate[1].angles = ( 0 -90 0 )', [['[', 'punctuation.section.brackets.begin'],
        ['angles', 'variable.other.property'], ['-90', 'constant.numeric']]],
    ['\tlocal.crate.origin = ( 1,5 0 0 ) */', [[',', 'invalid.illegal.comma'], ['*/', 'invalid.illegal.stray-comment-end']]],
    ['\tswitch (local.n)\n\tcase -1:\n\tcase "open":', [['switch', 'keyword.control'], ['case', 'keyword.control'],
        ['-1', 'constant.numeric'], ['"open"', 'string.quoted.double']]],
    ['\tlocal.list = makeArray\n\t\tNULL\n\tendarray', [['makeArray', 'keyword.other.array'], ['NULL', 'constant.language'],
        ['endarray', 'keyword.other.array']]],
    ['\tself remove', [['self', 'variable.language'], ['remove', null]]],
];

for (const [text, words] of rows) {
    test(JSON.stringify(text), async () => {
        const g = await grammar;
        for (const [word, scope] of words) {
            for (const scopes of scopesOf(g, text, word)) {
                if (scope === null) assert.deepStrictEqual(scopes, [], `"${word}" takes no colour`);
                else assert.ok(scopes.includes(`${scope}.morpheus`), `"${word}" is ${scope}, not [${scopes}]`);
            }
        }
    });
}

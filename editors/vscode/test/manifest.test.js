'use strict';
// What VS Code reads from the package: the language, its grammar, the
// settings, and the files they name.

const test = require('node:test');
const assert = require('node:assert');
const { execFileSync } = require('child_process');
const fs = require('fs');
const path = require('path');

const root = path.join(__dirname, '..');
const pkg = require('../package.json');
const read = (file) => JSON.parse(fs.readFileSync(path.join(root, file), 'utf8'));
const GAMES = ['', 'aa', 'aa-reborn', 'sh', 'sh-nightfall', 'bt', 'bt-nightfall', 'opm'];

test('the .scr language and its grammar', () => {
    const [language] = pkg.contributes.languages;
    assert.strictEqual(language.id, 'morpheus');
    assert.deepStrictEqual(language.extensions, ['.scr']);
    assert.deepStrictEqual(pkg.activationEvents, ['onLanguage:morpheus']);
    const [grammar] = pkg.contributes.grammars;
    assert.deepStrictEqual([grammar.language, grammar.scopeName], ['morpheus', 'source.morpheus']);
    assert.strictEqual(read(grammar.path).scopeName, 'source.morpheus');
});

test('the files it names', () => {
    assert.ok(fs.statSync(path.join(root, pkg.main)).isFile());
    const config = read(pkg.contributes.languages[0].configuration);
    assert.strictEqual(config.comments.lineComment, '//');
    assert.deepStrictEqual(config.comments.blockComment, ['/*', '*/']);
});

test('the two settings', () => {
    const settings = pkg.contributes.configuration.properties;
    assert.deepStrictEqual(Object.keys(settings), ['spawnsmith.game', 'spawnsmith.path']);
    assert.deepStrictEqual(settings['spawnsmith.game'].enum, GAMES);
    assert.strictEqual(settings['spawnsmith.game'].enumDescriptions.length, GAMES.length);
    assert.strictEqual(settings['spawnsmith.game'].scope, 'resource');
    assert.deepStrictEqual([settings['spawnsmith.path'].type, settings['spawnsmith.path'].default], ['string', '']);
});

// CTest hands over the program it built: every game of the setting is one it takes.
const program = process.env.SPAWNSMITH_CHECK_PROGRAM;
test('spawnsmith-check knows every game', { skip: !program && 'no SPAWNSMITH_CHECK_PROGRAM' }, () => {
    for (const game of GAMES.slice(1)) execFileSync(program, ['--game', game, '-'], { input: 'main:\nend\n' });
    assert.throws(() => execFileSync(program, ['--game', 'mohab', '-'], { input: '', stdio: 'pipe' }), { status: 2 });
});

'use strict';
// Finding spawnsmith-check, in fake folders of a temporary one.

const test = require('node:test');
const assert = require('node:assert');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { findServer } = require('../server');

const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'spawnsmith-'));
test.after(() => fs.rmSync(tmp, { recursive: true, force: true }));

for (const [file, mode] of [
    ['ext/bin/spawnsmith-check', 0o755],
    ['mine/spawnsmith-check', 0o755],
    ['on-path/spawnsmith-check', 0o755],
    ['plain/spawnsmith-check', 0o644], // no execute bit
    ['win/spawnsmith-check.exe', 0o644],
    ['win-without-exe/spawnsmith-check', 0o644],
]) {
    fs.mkdirSync(path.join(tmp, path.dirname(file)), { recursive: true });
    fs.writeFileSync(path.join(tmp, file), '', { mode });
}
fs.mkdirSync(path.join(tmp, 'empty'));
fs.mkdirSync(path.join(tmp, 'noext'));

// {name} in a row stands for the folder of that name in the temporary one.
const at = (text) => text.replace(/\{([^}]*)\}/g, (_, name) => path.join(tmp, name));

// [what, the environment, the program found, or the words its error holds]
const rows = [
    ['the setting first', { setting: '{mine/spawnsmith-check}', extensionDir: 'ext', pathVar: '{on-path}' },
        '{mine/spawnsmith-check}'],
    ['the setting naming a folder', { setting: '{mine}', extensionDir: 'ext', pathVar: '' }, '{mine/spawnsmith-check}'],
    ['a relative setting, from the workspace folder', { setting: 'spawnsmith-check', workspaceDir: '{mine}', extensionDir: 'ext' },
        '{mine/spawnsmith-check}'],
    ['the extension\'s bin/ before the PATH', { extensionDir: 'ext', pathVar: '{on-path}' }, '{ext/bin/spawnsmith-check}'],
    ['the first runnable one on the PATH', { extensionDir: 'noext', pathVar: '::{empty}:{plain}:{on-path}' },
        '{on-path/spawnsmith-check}'],
    ['Windows: an .exe, on a PATH split at ;', { platform: 'win32', extensionDir: 'noext', pathVar: '{win-without-exe};"{win}"' },
        '{win/spawnsmith-check.exe}'],
    ['nothing anywhere', { extensionDir: 'noext', pathVar: '{empty}:{plain}' },
        ['{noext/bin}', '{empty}, {plain}', 'spawnsmith.path']],
    ['a setting that names nothing', { setting: '{nowhere}', extensionDir: 'ext', pathVar: '{on-path}' },
        ['"{nowhere}"', 'spawnsmith.path']],
];

for (const [what, env, expected] of rows) {
    test(what, () => {
        const given = { platform: 'linux', ...env, extensionDir: at(`{${env.extensionDir}}`) };
        for (const key of ['setting', 'workspaceDir', 'pathVar']) if (env[key]) given[key] = at(env[key]);
        const found = findServer(given);
        if (typeof expected === 'string') return assert.deepStrictEqual(found, { command: at(expected) });
        assert.strictEqual(found.command, undefined);
        for (const words of expected) assert.ok(found.error.includes(at(words)), `${found.error}\nlacks ${at(words)}`);
    });
}

'use strict';
// extension.js with stand-ins for VS Code and the language client: what it
// starts, with which options, and when it starts again.

const test = require('node:test');
const assert = require('node:assert');
const fs = require('fs');
const Module = require('module');
const os = require('os');
const path = require('path');

let settings = {};
let configChanged;
const clients = [];
const errors = [];
const fakes = {
    vscode: {
        workspace: {
            getConfiguration: () => ({ get: (key, fallback) => settings[key] ?? fallback }),
            createFileSystemWatcher: (glob) => ({ glob }),
            onDidChangeConfiguration: (listener) => (configChanged = listener),
        },
        window: { showErrorMessage: async (message) => void errors.push(message) },
        commands: { registerCommand: () => ({}) },
    },
    'vscode-languageclient/node': {
        TransportKind: { stdio: 'stdio' },
        LanguageClient: class {
            constructor(id, name, server, options) {
                Object.assign(this, { server, options, state: 'made' });
                clients.push(this);
            }
            async start() { this.state = 'started'; }
            async stop() { this.state = 'stopped'; }
        },
    },
};
const load = Module._load;
Module._load = (request, ...rest) => fakes[request] ?? load(request, ...rest);
const extension = require('../extension');

const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'spawnsmith-'));
test.after(() => fs.rmSync(tmp, { recursive: true, force: true }));
const [a, b] = ['a', 'b'].map((name) => path.join(tmp, name));
for (const file of [a, b]) fs.writeFileSync(file, '', { mode: 0o755 });
const changed = (setting) => configChanged({ affectsConfiguration: (name) => name === setting });

test('starts the program with the game, and again when spawnsmith.path changes, or says why not', async () => {
    settings = { path: a, game: 'sh' };
    await extension.activate({ extensionPath: tmp, subscriptions: [] });
    const { server, options } = clients[0];
    assert.deepStrictEqual(server, { command: a, args: ['--lsp'], transport: 'stdio' });
    assert.deepStrictEqual(options.documentSelector.map((s) => `${s.scheme}:${s.language}`), ['file:morpheus', 'untitled:morpheus']);
    assert.deepStrictEqual(options.initializationOptions, { game: 'sh' });
    assert.deepStrictEqual([options.synchronize.configurationSection, options.synchronize.fileEvents.glob],
        ['spawnsmith', '**/{*.scr,.spawnsmith}']);
    settings = { path: b };
    changed('spawnsmith.game'); // the server hears of that itself
    changed('spawnsmith.path');
    await extension.deactivate();
    assert.deepStrictEqual(clients.map((c) => [c.server.command, c.state]), [[a, 'stopped'], [b, 'stopped']]);
    assert.deepStrictEqual(errors, []);

    settings = { path: path.join(tmp, 'nowhere') }; // no program: it says where it looked
    changed('spawnsmith.path');
    await extension.deactivate();
    assert.strictEqual(clients.length, 2);
    assert.match(errors[0], /spawnsmith\.path is ".*nowhere"/);
});

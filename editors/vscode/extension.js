'use strict';
// Starts `spawnsmith-check --lsp` for the level scripts open in VS Code, and
// starts it again when spawnsmith.path changes.

const vscode = require('vscode');
const { LanguageClient, TransportKind } = require('vscode-languageclient/node');
const { findServer } = require('./server');

let client;
let pending = Promise.resolve(); // starts and stops, one at a time

function locate(context) {
    const folder = vscode.workspace.workspaceFolders?.[0];
    return findServer({
        setting: vscode.workspace.getConfiguration('spawnsmith').get('path', ''),
        workspaceDir: folder?.uri.scheme === 'file' ? folder.uri.fsPath : '',
        extensionDir: context.extensionPath,
        pathVar: process.env.PATH,
        platform: process.platform,
    });
}

function clientOptions() {
    return {
        documentSelector: [
            { scheme: 'file', language: 'morpheus' },
            { scheme: 'untitled', language: 'morpheus' },
        ],
        initializationOptions: { game: vscode.workspace.getConfiguration('spawnsmith').get('game', '') },
        synchronize: {
            configurationSection: 'spawnsmith',
            // A .spawnsmith file chooses the game for the scripts below it.
            fileEvents: vscode.workspace.createFileSystemWatcher('**/{*.scr,.spawnsmith}'),
        },
    };
}

async function showError(message) {
    const choice = await vscode.window.showErrorMessage(message, 'Open Settings');
    if (choice) vscode.commands.executeCommand('workbench.action.openSettings', 'spawnsmith.path');
}

async function start(context) {
    const found = locate(context);
    if (found.error) return void showError(found.error);
    const server = { command: found.command, args: ['--lsp'], transport: TransportKind.stdio };
    client = new LanguageClient('spawnsmith', 'Spawnsmith', server, clientOptions());
    try {
        await client.start();
    } catch {
        // The client has said so already, with the program's own words, in its output.
    }
}

async function stop() {
    const running = client;
    client = undefined;
    try {
        await running?.stop();
    } catch {
        // A server that never started has nothing to stop.
    }
}

function restart(context) {
    pending = pending.then(stop).then(() => start(context));
    return pending;
}

function activate(context) {
    context.subscriptions.push(
        vscode.workspace.onDidChangeConfiguration((e) => {
            if (e.affectsConfiguration('spawnsmith.path')) restart(context);
        }),
        vscode.commands.registerCommand('spawnsmith.restart', () => restart(context)),
    );
    return restart(context);
}

function deactivate() {
    pending = pending.then(stop);
    return pending;
}

module.exports = { activate, deactivate };

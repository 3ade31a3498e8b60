'use strict';
// Finds spawnsmith-check. Everything it depends on comes in as arguments, so
// that the tests can hand it fake folders and another system's PATH.

const fs = require('fs');
const path = require('path');

function programName(platform) {
    return platform === 'win32' ? 'spawnsmith-check.exe' : 'spawnsmith-check';
}

// Windows runs any .exe; elsewhere a file runs only with an execute bit.
function runnable(file, platform) {
    try {
        if (!fs.statSync(file).isFile()) return false;
        if (platform !== 'win32') fs.accessSync(file, fs.constants.X_OK);
        return true;
    } catch {
        return false;
    }
}

// The setting names the program or the folder that holds it; a relative
// path is taken from the workspace folder.
function fromSetting(setting, env) {
    const given = path.resolve(env.workspaceDir || '', setting);
    const inFolder = path.join(given, programName(env.platform));
    for (const file of [given, inFolder]) {
        if (runnable(file, env.platform)) return { command: file };
    }
    return {
        error: `Spawnsmith: spawnsmith.path is "${setting}", and no program ${programName(env.platform)} ` +
            `is there (looked at ${given}). Set spawnsmith.path to the program's path, or leave it empty.`,
    };
}

// env: { setting, workspaceDir, extensionDir, pathVar, platform }.
// Answers { command } or { error }, a message that says where it looked.
function findServer(env) {
    if (env.setting) return fromSetting(env.setting, env);
    const name = programName(env.platform);
    const bundled = path.join(env.extensionDir, 'bin');
    const folders = (env.pathVar || '')
        .split(env.platform === 'win32' ? ';' : ':')
        .map((folder) => folder.replace(/^"(.*)"$/, '$1')) // Windows allows quotes around a folder
        .filter(Boolean);
    for (const folder of [bundled, ...folders]) {
        const file = path.join(folder, name);
        if (runnable(file, env.platform)) return { command: file };
    }
    return {
        error: `Spawnsmith: no ${name} in the extension's folder (${bundled}) nor in any folder of the PATH ` +
            `(${folders.join(', ') || 'empty'}). Install Spawnsmith, or set spawnsmith.path to the program's path.`,
    };
}

module.exports = { findServer };

-- Neovim as the language server's client, as a scripter uses it: a script
-- opened shows its error at its line and column, an edit mends it, a quick
-- fix applied, the game changed; a definition, a hover and a rename.
-- Run: SPAWNSMITH_CHECK=path nvim --headless --clean -c 'luafile nvim_test.lua'

local failures = 0
local function check(ok, what)
  if not ok then
    failures = failures + 1
    io.stderr:write('FAIL: ' .. what .. '\n')
  end
end

local function write(path, lines)
  local file = assert(io.open(path, 'wb'))
  file:write(table.concat(lines, '\n') .. '\n')
  file:close()
end

local dir = vim.fn.tempname()
vim.fn.mkdir(dir .. '/global', 'p')
write(dir .. '/global/door.scr', { 'open local.speed:', 'end' })
write(dir .. '/mill.scr', {
  'main:',
  '\tlocal.x = "é😀" modle',
  '\tthread helper',
  'end',
  'helper:',
  'end',
})
vim.cmd('edit ' .. dir .. '/mill.scr')
local buf = vim.api.nvim_get_current_buf()
local id = vim.lsp.start_client({
  name = 'spawnsmith',
  cmd = { os.getenv('SPAWNSMITH_CHECK'), '--lsp' },
  root_dir = dir,
})
vim.lsp.buf_attach_client(buf, id)
local client = vim.lsp.get_client_by_id(id)

local function errors()
  return vim.diagnostic.get(buf, { severity = vim.diagnostic.severity.ERROR })
end
local function waitFor(what, condition)
  check(vim.wait(10000, condition, 20), what)
end
local function ask(method, params)
  local answers = vim.lsp.buf_request_sync(buf, method, params, 10000) or {}
  return answers[id] and answers[id].result
end
local function at(line, character)
  return { textDocument = { uri = vim.uri_from_bufnr(buf) }, position = { line = line, character = character } }
end

-- The mistyped command at its line and column (Neovim counts bytes: the
-- server's UTF-16 column 17 is byte 20 after "é😀").
waitFor('an error published', function() return #errors() == 1 end)
local e = errors()[1]
check(e and e.lnum == 1 and e.col == 20 and e.end_col == 25, 'the error at line 1, byte 20 to 25')
check(e and e.source == 'spawnsmith' and e.code == 'unknown-command', 'its source and code')

-- An edit that mends it clears it.
vim.api.nvim_buf_set_text(buf, 1, 19, 1, 25, {})
waitFor('the error cleared', function() return #errors() == 0 end)

-- A quick fix applied.
vim.api.nvim_buf_set_lines(buf, 3, 3, false, { '\twat 1' })
waitFor('a mistyped wait marked', function() return #errors() == 1 end)
local actions = ask('textDocument/codeAction', {
  textDocument = { uri = vim.uri_from_bufnr(buf) },
  range = { start = { line = 3, character = 2 }, ['end'] = { line = 3, character = 2 } },
  context = { diagnostics = {} },
}) or {}
check(#actions == 1 and actions[1].isPreferred, 'one preferred quick fix')
if actions[1] then
  vim.lsp.util.apply_workspace_edit(actions[1].edit, client.offset_encoding)
end
check(vim.api.nvim_buf_get_lines(buf, 3, 4, false)[1] == '\twait 1', 'the fix put wait in place')
waitFor('the fix mended it', function() return #errors() == 0 end)

-- The game changed in the editor's setting.
vim.api.nvim_buf_set_lines(buf, 3, 3, false, { '\tlocal.y = cos 90' })
client.notify('workspace/didChangeConfiguration', { settings = { spawnsmith = { game = 'aa' } } })
waitFor('cos refused for Allied Assault', function()
  local found = errors()[1]
  return found ~= nil and found.message:find('Allied Assault knows no command', 1, true) ~= nil
end)
client.notify('workspace/didChangeConfiguration', { settings = { spawnsmith = { game = '' } } })
waitFor('cos taken for every game', function() return #errors() == 0 end)

-- A definition, a hover, a rename.
local lines = vim.api.nvim_buf_get_lines(buf, 0, -1, false)
local thread = 0
for number, line in ipairs(lines) do
  if line == '\tthread helper' then thread = number - 1 end
end
local found = ask('textDocument/definition', at(thread, 10)) or {}
check(found[1] and found[1].range.start.line == #lines - 2, 'the definition of helper at its label')
local hover = ask('textDocument/hover', at(3, 12))
check(hover and hover.contents.value:find('gives a value', 1, true), 'a hover on cos says it gives a value')
local edit = ask('textDocument/rename', vim.tbl_extend('force', at(thread, 10), { newName = 'assist' }))
if edit then
  vim.lsp.util.apply_workspace_edit(edit, client.offset_encoding)
end
lines = vim.api.nvim_buf_get_lines(buf, 0, -1, false)
check(lines[thread + 1] == '\tthread assist' and lines[#lines - 1] == 'assist:', 'helper renamed at both places')

client.stop()
vim.wait(5000, function() return client.is_stopped() end, 20)
vim.fn.delete(dir, 'rf')
if failures > 0 then
  vim.cmd('cquit 1')
else
  io.stdout:write('nvim_test: passed\n')
  vim.cmd('qall!')
end

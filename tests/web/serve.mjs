// A static file server for the browser build (build/web): `make web-run` runs it, the browser
// tests start one of their own. Serves only files inside the folder, with the types the page's
// WebAssembly and data loaders expect.
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
};

export function serve(folder, port = 0, host = '127.0.0.1') {
  const root = resolve(folder);
  const server = createServer(async (request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = normalize(join(root, path === '/' ? 'index.html' : path));
    if (!file.startsWith(root + sep)) {
      response.writeHead(403).end();
      return;
    }
    try {
      const body = await readFile(file);
      response.writeHead(200, {
        'Content-Type': types[extname(file)] || 'application/octet-stream',
        'Cache-Control': 'no-cache',
      });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  return new Promise((done) => {
    server.listen(port, host, () => done({ server, url: `http://${host}:${server.address().port}/` }));
  });
}

// `node serve.mjs FOLDER [PORT]`: serves until interrupted.
if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const folder = process.argv[2] || 'build/web';
  const port = Number(process.argv[3] || 8080);
  const { url } = await serve(folder, port);
  console.log(`Brambleshot is served at ${url} (Ctrl+C stops the server)`);
}

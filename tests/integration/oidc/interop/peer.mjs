// An independent OpenID provider (oidc-provider) for the OpenID Connect
// client's interoperability tests. It serves one provider per deployment
// shape, each on its own HTTPS port of 127.0.0.1, and prints one JSON line
// naming the issuer of each shape once all of them listen. It ends when its
// standard input closes, so it never outlives the test that started it.
//
//   node peer.mjs <certificate.pem> <key.pem> <client id> <redirect uri>

import fs from 'node:fs';
import https from 'node:https';
import Provider from 'oidc-provider';

// Standard output carries the one line of issuers; anything else the
// provider says goes to standard error, except its warnings about the
// development defaults, which are what a test peer wants.
for (const level of ['log', 'info', 'warn']) {
  console[level] = (...parts) => {
    const text = parts.join(' ');
    if (!/development-only|quick start/.test(text)) process.stderr.write(`${text}\n`);
  };
}

const [certificateFile, keyFile, clientId, redirectUri] = process.argv.slice(2);
if (!redirectUri) {
  console.error('usage: node peer.mjs <certificate.pem> <key.pem> <client id> <redirect uri>');
  process.exit(2);
}

// What real deployments differ in.
const shapes = {
  // Rotates refresh tokens, answers a refresh with a new ID token, puts the
  // e-mail address in the ID token.
  rotating: { rotate: true, idTokenOnRefresh: true, trailingSlash: false, emailInIdToken: true },
  // Keeps its refresh tokens, answers a refresh without an ID token, writes
  // its issuer with a trailing slash, gives the e-mail address at UserInfo only.
  steady: { rotate: false, idTokenOnRefresh: false, trailingSlash: true, emailInIdToken: false },
  // Rotates, and answers a refresh without an ID token.
  rotatingBare: { rotate: true, idTokenOnRefresh: false, trailingSlash: false, emailInIdToken: true },
};

// Any login is accepted by the provider's development pages; the account's
// claims follow from it.
async function findAccount(ctx, id) {
  return {
    accountId: id,
    async claims() {
      return { sub: id, email: id, email_verified: true, name: id.split('@')[0] };
    },
  };
}

function configurationFor(shape) {
  return {
    clients: [{
      client_id: clientId,
      application_type: 'native',
      token_endpoint_auth_method: 'none',
      grant_types: ['authorization_code', 'refresh_token'],
      response_types: ['code'],
      redirect_uris: [redirectUri],
    }],
    findAccount,
    claims: { openid: ['sub'], email: ['email', 'email_verified'], profile: ['name'] },
    conformIdTokenClaims: !shape.emailInIdToken,
    rotateRefreshToken: shape.rotate,
    // Like the providers phones sign in with, a refresh token comes with
    // offline_access although the client sends no prompt=consent; the grant
    // then lacks offline_access, which a refresh must not ask for again.
    issueRefreshToken: async (ctx, client) => client.grantTypeAllowed('refresh_token'),
    expiresWithSession: async () => false,
    pkce: { required: () => true },
    features: { devInteractions: { enabled: true }, revocation: { enabled: true } },
    cookies: { keys: ['interop-cookie-key-not-secret'] },
    ttl: { AccessToken: 3600, IdToken: 3600, RefreshToken: 14 * 24 * 3600, Interaction: 600, Session: 3600, Grant: 14 * 24 * 3600 },
  };
}

const tls = { cert: fs.readFileSync(certificateFile), key: fs.readFileSync(keyFile) };

function serve(shape) {
  return new Promise((resolve, reject) => {
    let handler = (request, response) => { response.statusCode = 503; response.end(); };
    const server = https.createServer(tls, (request, response) => handler(request, response));
    server.on('error', reject);
    server.listen(0, '127.0.0.1', () => {
      const issuer = `https://127.0.0.1:${server.address().port}${shape.trailingSlash ? '/' : ''}`;
      const provider = new Provider(issuer, configurationFor(shape));
      if (!shape.idTokenOnRefresh) {
        provider.use(async (ctx, next) => {
          await next();
          if (ctx.oidc?.route === 'token' && ctx.oidc.params?.grant_type === 'refresh_token' && ctx.body?.id_token) {
            delete ctx.body.id_token;
          }
        });
      }
      // The development pages warn on every start; the tests need quiet.
      provider.on('server_error', (ctx, error) => console.error(`peer: ${error.stack}`));
      handler = provider.callback();
      resolve({ server, issuer });
    });
  });
}

const issuers = {};
const servers = [];
for (const [name, shape] of Object.entries(shapes)) {
  const { server, issuer } = await serve(shape);
  servers.push(server);
  issuers[name] = issuer;
}
process.stdout.write(`${JSON.stringify(issuers)}\n`);

process.stdin.resume();
process.stdin.on('end', () => {
  for (const server of servers) {
    server.closeAllConnections?.();
    server.close();
  }
  process.exit(0);
});

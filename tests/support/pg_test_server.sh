#!/bin/sh
# A private PostgreSQL server for the tests: pg_test_server.sh start|stop STATE_DIR
# start: initdb into a new temporary folder, listen on 127.0.0.1 only at a free
# port (unix socket in that folder), and write the address to STATE_DIR/address.
# Run as root, the server runs as "nobody", which owns the temporary folder.
# stop: stops the server and removes its folder. Missing server binaries fail.
set -u
action=$1
state=$2
mkdir -p "$state"

if [ "$(id -u)" = 0 ]; then
    as_server="setpriv --reuid=nobody --regid=nogroup --clear-groups --reset-env"
else
    as_server=""
fi

bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ "$action" = stop ]; then
    dir=$(cat "$state/dir" 2>/dev/null) || exit 0
    [ -n "$bindir" ] && [ -d "$dir/data" ] && $as_server "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null
    rm -rf "$dir"
    rm -f "$state/dir" "$state/address"
    exit 0
fi

if [ -z "$bindir" ] || [ ! -x "$bindir/initdb" ] || [ ! -x "$bindir/pg_ctl" ]; then
    echo "PostgreSQL server binaries not found under /usr/lib/postgresql (install postgresql-15: make deps)" >&2
    exit 1
fi
dir=$(mktemp -d /tmp/tallox-pgtest.XXXXXX) || exit 1
echo "$dir" > "$state/dir"
[ -n "$as_server" ] && chown nobody:nogroup "$dir"
chmod 700 "$dir"
if ! $as_server "$bindir/initdb" -D "$dir/data" -U tallox --auth=trust -E UTF8 --locale=C.UTF-8 --no-sync \
    >"$dir/initdb.log" 2>&1; then
    cat "$dir/initdb.log" >&2
    exit 1
fi
# One role must give its password (tallox_pw, password "right"), for the tests of a refused one.
{ echo "host all tallox_pw 127.0.0.1/32 scram-sha-256"; cat "$dir/data/pg_hba.conf"; } > "$dir/hba" &&
    cat "$dir/hba" > "$dir/data/pg_hba.conf"
# A free port: the first one in a range that the server can bind.
port=$(( 20000 + $$ % 20000 ))
tries=0
while [ $tries -lt 30 ]; do
    if $as_server "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
        -o "-c listen_addresses=127.0.0.1 -p $port -k $dir -c fsync=off -c max_connections=200" start >/dev/null; then
        "$bindir/psql" -q -h 127.0.0.1 -p "$port" -U tallox -d postgres \
            -c "CREATE ROLE tallox_pw LOGIN PASSWORD 'right'" -c "CREATE ROLE tallox_reader LOGIN" >/dev/null || exit 1
        echo "postgresql://tallox@127.0.0.1:$port/postgres" > "$state/address"
        echo "test server on 127.0.0.1:$port in $dir"
        exit 0
    fi
    port=$((port + 1))
    tries=$((tries + 1))
done
cat "$dir/server.log" >&2
exit 1

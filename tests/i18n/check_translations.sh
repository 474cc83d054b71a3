#!/bin/sh
# Every Korean text of the program goes through Qt's translation and has its
# English translation:
#   1. a Korean string literal in SRC outside tr(, translate(, QT_TR_NOOP( or
#      QT_TRANSLATE_NOOP( fails (stored data that stays Korean in every language
#      sits between "i18n-exempt-begin" and "i18n-exempt-end" comments);
#   2. with TS and LUPDATE given: lupdate reads SRC into a copy of TS, and any
#      text without a finished translation there fails.
# POSIX sh and perl (perl-base is part of every Debian system).
#   check_translations.sh SRC [TS LUPDATE]
set -eu
src=$1
ts=${2:-}
lupdate=${3:-}
export LC_ALL=C.UTF-8

find "$src" \( -name '*.cpp' -o -name '*.h' \) | sort | perl -CSD -e '
    my $bad = 0;
    my $lit = qr/"(?:[^"\\\n]|\\.)*"/;
    my $token = qr{
        (?<skip> //[^\n]*i18n-exempt-begin.*?i18n-exempt-end[^\n]*
               | /\*.*?\*/ | //[^\n]* | \x27(?:[^\x27\\\n]|\\.)*\x27
               | \b(?:tr|QT_TR_NOOP)\(\s*(?:$lit\s*)+
               | \b(?:translate|QT_TRANSLATE_NOOP)\(\s*$lit\s*,\s*(?:$lit\s*)+ )
      | (?<lit> $lit )
    }xs;
    while (my $file = <STDIN>) {
        chomp $file;
        open my $fh, "<:encoding(UTF-8)", $file or die "$file: $!";
        local $/; my $s = <$fh>; close $fh;
        while ($s =~ /$token/g) {
            my ($text, $at) = ($+{lit}, $-[0]);
            next unless defined $text && $text =~ /[\x{AC00}-\x{D7A3}]/;
            my $line = 1 + (() = substr($s, 0, $at) =~ /\n/g);
            print "$file:$line: Korean text outside tr()/translate(): $text\n";
            $bad = 1;
        }
    }
    exit $bad;
' || { echo "FAIL: wrap these texts in tr(\"...\") or QCoreApplication::translate(\"Context\", \"...\")"; exit 1; }

[ -n "$ts" ] || exit 0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$ts" "$work/check.ts"
"$lupdate" -silent -locations none -no-obsolete -source-language ko_KR "$src" -ts "$work/check.ts" >"$work/lupdate.log" 2>&1 ||
    { cat "$work/lupdate.log"; echo "FAIL: lupdate"; exit 1; }
perl -CSD -e '
    local $/; my $s = <STDIN>;
    my ($n, $bad) = (0, 0);
    while ($s =~ m{<context>\s*<name>([^<]*)</name>(.*?)</context>}gs) {
        my ($ctx, $body) = ($1, $2);
        while ($body =~ m{<message[^>]*>(.*?)</message>}gs) {
            my $m = $1; $n++;
            my ($source) = $m =~ m{<source>(.*?)</source>}s;
            if ($m =~ m{<translation type="unfinished"|<translation\s*/>|<translation>\s*</translation>}) {
                print "$ctx: no English translation: $source\n";
                $bad = 1;
            }
        }
    }
    print "$n texts, all translated\n" unless $bad;
    exit $bad;
' <"$work/check.ts" || { echo "FAIL: run make translations and translate the new texts in translations/tallox_en.ts"; exit 1; }

// The page's own words, in each language the game speaks (the program has its own for its boxes).
"use strict";

const WORDS = {
  cs: {tap: "Ťukni a hraj", turn: "Otoč tablet", ended: "Konec hry", again: "Hrát znovu",
       elsewhere: "Hra je otevřená v jiném okně", here: "Hrát tady",
       unreadable: "Nastavení nejde přečíst: tato hra se neuloží.",
       blocked: "Prohlížeč této stránce nic neukládá: hra se neuloží.",
       offline: "Hru nejde stáhnout. Zkontrolujte připojení.", damaged: "Soubory hry jsou poškozené.",
       retry: "Zkusit znovu", gate: "Rodiče: podržte 3 s dva protilehlé rohy obrazovky", start: "Začít",
       old: "Tento prohlížeč je na hru příliš starý. Aktualizujte ho, prosím."},
  sk: {tap: "Ťukni a hraj", turn: "Otoč tablet", ended: "Koniec hry", again: "Hrať znova",
       elsewhere: "Hra je otvorená v inom okne", here: "Hrať tu",
       unreadable: "Nastavenia sa nedajú prečítať: táto hra sa neuloží.",
       blocked: "Prehliadač tejto stránke nič neukladá: hra sa neuloží.",
       offline: "Hru sa nedá stiahnuť. Skontrolujte pripojenie.", damaged: "Súbory hry sú poškodené.",
       retry: "Skúsiť znova", gate: "Rodičia: podržte 3 s dva protiľahlé rohy obrazovky", start: "Začať",
       old: "Tento prehliadač je na hru príliš starý. Aktualizujte ho, prosím."},
  en: {tap: "Tap to play", turn: "Turn the tablet", ended: "The game has ended", again: "Play again",
       elsewhere: "The game is open in another window", here: "Play here",
       unreadable: "The settings cannot be read: this game will not be saved.",
       blocked: "This browser keeps nothing for this site: the game will not be saved.",
       offline: "The game cannot be downloaded. Please check the connection.", damaged: "The game's files are damaged.",
       retry: "Try again", gate: "Parents: hold two opposite corners of the screen for 3 s", start: "Start",
       old: "This browser is too old for the game. Please update it."},
  de: {tap: "Tippen und spielen", turn: "Tablet drehen", ended: "Spiel beendet", again: "Noch einmal spielen",
       elsewhere: "Das Spiel ist in einem anderen Fenster offen", here: "Hier spielen",
       unreadable: "Die Einstellungen sind nicht lesbar: dieses Spiel wird nicht gespeichert.",
       blocked: "Der Browser speichert für diese Seite nichts: das Spiel wird nicht gespeichert.",
       offline: "Das Spiel lässt sich nicht laden. Bitte die Verbindung prüfen.",
       damaged: "Die Dateien des Spiels sind beschädigt.", retry: "Noch einmal versuchen",
       gate: "Eltern: zwei gegenüberliegende Ecken des Bildschirms 3 s halten", start: "Starten",
       old: "Dieser Browser ist für das Spiel zu alt. Bitte aktualisieren Sie ihn."},
  pl: {tap: "Dotknij i graj", turn: "Obróć tablet", ended: "Koniec gry", again: "Zagraj jeszcze raz",
       elsewhere: "Gra jest otwarta w innym oknie", here: "Graj tutaj",
       unreadable: "Nie można odczytać ustawień: ta gra nie zostanie zapisana.",
       blocked: "Przeglądarka nic nie zapisuje dla tej strony: gra nie zostanie zapisana.",
       offline: "Nie można pobrać gry. Sprawdź połączenie.", damaged: "Pliki gry są uszkodzone.",
       retry: "Spróbuj ponownie", gate: "Rodzice: przytrzymajcie 3 s dwa przeciwległe rogi ekranu", start: "Start",
       old: "Ta przeglądarka jest za stara na tę grę. Zaktualizuj ją, proszę."},
  fr: {tap: "Touche pour jouer", turn: "Tourne la tablette", ended: "Fin du jeu", again: "Rejouer",
       elsewhere: "Le jeu est ouvert dans une autre fenêtre", here: "Jouer ici",
       unreadable: "Les réglages sont illisibles : cette partie ne sera pas enregistrée.",
       blocked: "Ce navigateur n'enregistre rien pour ce site : la partie ne sera pas enregistrée.",
       offline: "Impossible de télécharger le jeu. Vérifiez la connexion.", damaged: "Les fichiers du jeu sont endommagés.",
       retry: "Réessayer", gate: "Parents : maintenez deux coins opposés de l'écran pendant 3 s", start: "Commencer",
       old: "Ce navigateur est trop ancien pour le jeu. Veuillez le mettre à jour."},
  es: {tap: "Toca para jugar", turn: "Gira la tableta", ended: "Fin del juego", again: "Jugar otra vez",
       elsewhere: "El juego está abierto en otra ventana", here: "Jugar aquí",
       unreadable: "No se pueden leer los ajustes: esta partida no se guardará.",
       blocked: "Este navegador no guarda nada de este sitio: la partida no se guardará.",
       offline: "No se puede descargar el juego. Comprueba la conexión.", damaged: "Los archivos del juego están dañados.",
       retry: "Reintentar", gate: "Padres: mantened pulsadas 3 s dos esquinas opuestas de la pantalla", start: "Empezar",
       old: "Este navegador es demasiado antiguo para el juego. Actualízalo, por favor."},
};

function Words(lang) {
  return WORDS[lang] || WORDS.en;
}

// The desktop's rule over the languages this site publishes: the one asked for (?lang=), else the one
// kept from an earlier game, else the browser's, else English, else the site's first.
function ChooseLanguage(site, asked, kept, browser) {
  if (site.includes(asked)) return asked;
  if (site.includes(kept)) return kept;
  for (const l of browser || []) {
    const base = String(l).toLowerCase().split("-")[0];
    if (site.includes(base)) return base;
  }
  return site.includes("en") ? "en" : site[0];
}
